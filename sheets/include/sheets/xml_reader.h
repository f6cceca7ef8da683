// A pull reader of the XML that Office Open XML parts are written in: elements, attributes,
// text and CDATA, the five predefined entities and numeric character references, comments
// and processing instructions (skipped). A document type declaration is refused, so no
// entity can be defined, and so is anything that is not well-formed, up to a nesting cap.
// Names are given without their namespace prefix ("x:c" is "c"): no OOXML part gives one
// local name two meanings.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorbalin::sheets {

class XmlReader {
public:
    enum class Event {
        StartElement,  // name(), attribute(); an empty element is followed by its EndElement
        EndElement,    // name()
        Text,          // text(): character data inside the root element, entities resolved
        End,           // the root element closed, nothing but blanks, comments and
                       // processing instructions after it
        Malformed,     // and so every later call
    };

    // Text in UTF-8, with or without a byte-order mark; it must outlive the reader.
    explicit XmlReader(std::string_view xml);

    Event next();
    std::string_view name() const { return localName(name_); }
    // The value of the current element's attribute of that local name, entities resolved.
    std::optional<std::string> attribute(std::string_view localName) const;
    const std::string& text() const { return text_; }

    static constexpr std::size_t kMaxDepth = 256;

private:
    static std::string_view localName(std::string_view name);
    Event fail() { return event_ = Event::Malformed; }
    Event startTag();
    Event endTag();
    std::string_view readName();
    void skipBlanks();

    std::string_view xml_;
    std::size_t at_ = 0;
    Event event_ = Event::Text;
    std::string_view name_;
    std::vector<std::pair<std::string_view, std::string_view>> attributes_;  // name, raw value
    std::string text_;
    std::vector<std::string_view> open_;  // the qualified names of the open elements
    bool closeEmpty_ = false;             // the element just started was <empty/>
    bool rootSeen_ = false;
};

// Text with its entity and character references resolved; nullopt for an unknown entity,
// a bad reference or a "<".
std::optional<std::string> resolveReferences(std::string_view raw);

}  // namespace zorbalin::sheets
