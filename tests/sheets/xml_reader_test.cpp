// The pull reader, by the events it gives: each case lists them as text.
#include "sheets/xml_reader.h"

#include <gtest/gtest.h>

namespace zorbalin::sheets {
namespace {

using Event = XmlReader::Event;

// "<a x=1>", "text", "</a>", then "end" or "malformed".
std::string eventsOf(std::string_view xml) {
    XmlReader reader(xml);
    std::string out;
    for (int i = 0; i < 100; ++i) {
        switch (reader.next()) {
        case Event::StartElement:
            out += "<" + std::string(reader.name());
            if (auto x = reader.attribute("x")) out += " x=" + *x;
            out += ">";
            break;
        case Event::EndElement: out += "</" + std::string(reader.name()) + ">"; break;
        case Event::Text: out += "[" + reader.text() + "]"; break;
        case Event::End: return out + "end";
        case Event::Malformed: return out + "malformed";
        }
    }
    return out + "...";
}

struct XmlCase {
    const char* name;
    std::string_view xml;
    std::string_view events;
};

TEST(XmlReader, GivesTheEventsOfTheSubsetOfficeWrites) {
    const XmlCase cases[] = {
        {"DeclarationAndEmptyRoot", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<a/>", "<a></a>end"},
        {"PrefixesDropped", "<x:a r:x='1'><x:b/></x:a>", "<a x=1><b></b></a>end"},
        {"FiveEntitiesAndReferences", "<a x=\"&quot;&#20320;\">&lt;&gt;&amp;&apos;&#x4E2D;&#65;</a>",
         "<a x=\"你>[<>&'中A]</a>end"},
        {"CdataAndComments", "<a><!-- c --><![CDATA[<b>&amp;]]></a><!-- after -->", "<a>[<b>&amp;]</a>end"},
        {"BlanksKept", "<a> x </a>", "<a>[ x ]</a>end"},
        {"DoctypeRefused", "<!DOCTYPE a [<!ENTITY e \"lol\">]><a>&e;</a>", "malformed"},
        {"UnknownEntity", "<a>&nbsp;</a>", "<a>malformed"},
        {"ReferenceToNul", "<a>&#0;</a>", "<a>malformed"},
        {"ReferenceToSurrogate", "<a>&#xD800;</a>", "<a>malformed"},
        {"MismatchedEnd", "<a><b></a>", "<a><b>malformed"},
        {"Unclosed", "<a><b>", "<a><b>malformed"},
        {"TextOutsideTheRoot", "x<a/>", "malformed"},
        {"TwoRoots", "<a/><b/>", "<a></a>malformed"},
        {"UnquotedAttribute", "<a x=1/>", "malformed"},
        {"LessThanInAttribute", "<a x='<'/>", "malformed"},
        {"AttributesRunTogether", "<a x='1'y='2'/>", "malformed"},
        {"Nothing", "", "malformed"},
    };
    for (const XmlCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(eventsOf(c.xml), c.events);
    }
}

TEST(XmlReader, RefusesNestingBeyondItsCap) {
    std::string deep;
    for (std::size_t i = 0; i < XmlReader::kMaxDepth; ++i) deep += "<a>";
    XmlReader within(deep);
    for (std::size_t i = 0; i < XmlReader::kMaxDepth; ++i) ASSERT_EQ(within.next(), Event::StartElement);
    XmlReader beyond(deep + "<a>");
    Event last = Event::StartElement;
    for (std::size_t i = 0; i <= XmlReader::kMaxDepth; ++i) last = beyond.next();
    EXPECT_EQ(last, Event::Malformed);
}

}  // namespace
}  // namespace zorbalin::sheets
