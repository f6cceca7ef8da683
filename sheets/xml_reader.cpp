#include "sheets/xml_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace zorbalin::sheets {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool endsName(char c) { return isBlank(c) || c == '/' || c == '>' || c == '=' || c == '<' || c == '"' || c == '\''; }

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A character XML allows: no NUL or other C0 control but tab and the line breaks, no
// surrogate, nothing above U+10FFFF.
bool isXmlCharacter(std::uint32_t c) {
    if (c < 0x20) return c == 0x9 || c == 0xA || c == 0xD;
    return (c < 0xD800 || (c > 0xDFFF && c < 0xFFFE) || (c >= 0x10000 && c <= 0x10FFFF));
}

bool appendReference(std::string& out, std::string_view reference) {
    if (reference == "lt") return out += '<', true;
    if (reference == "gt") return out += '>', true;
    if (reference == "amp") return out += '&', true;
    if (reference == "quot") return out += '"', true;
    if (reference == "apos") return out += '\'', true;
    if (reference.size() < 2 || reference[0] != '#') return false;
    const bool hex = reference[1] == 'x';
    const std::string_view digits = reference.substr(hex ? 2 : 1);
    std::uint32_t c = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), c, hex ? 16 : 10);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || !isXmlCharacter(c)) {
        return false;
    }
    appendUtf8(out, c);
    return true;
}

}  // namespace

std::optional<std::string> resolveReferences(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t at = 0; at < raw.size();) {
        const std::size_t amp = raw.find_first_of("&<", at);
        out.append(raw.substr(at, amp - at));
        if (amp == std::string_view::npos) break;
        const std::size_t semicolon = raw.find(';', amp);
        if (raw[amp] == '<' || semicolon == std::string_view::npos ||
            !appendReference(out, raw.substr(amp + 1, semicolon - amp - 1))) {
            return std::nullopt;
        }
        at = semicolon + 1;
    }
    return out;
}

XmlReader::XmlReader(std::string_view xml) : xml_(xml) {
    if (xml_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
}

std::string_view XmlReader::localName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::optional<std::string> XmlReader::attribute(std::string_view localName) const {
    for (const auto& [name, value] : attributes_) {
        if (XmlReader::localName(name) == localName) return resolveReferences(value);
    }
    return std::nullopt;
}

void XmlReader::skipBlanks() {
    while (at_ < xml_.size() && isBlank(xml_[at_])) ++at_;
}

std::string_view XmlReader::readName() {
    const std::size_t start = at_;
    while (at_ < xml_.size() && !endsName(xml_[at_])) ++at_;
    return xml_.substr(start, at_ - start);
}

XmlReader::Event XmlReader::next() {
    if (event_ == Event::Malformed || event_ == Event::End) return event_;
    if (closeEmpty_) {
        closeEmpty_ = false;
        open_.pop_back();
        return event_ = Event::EndElement;
    }
    for (;;) {
        if (at_ >= xml_.size()) return open_.empty() && rootSeen_ ? event_ = Event::End : fail();
        const std::string_view rest = xml_.substr(at_);
        if (rest[0] != '<') {
            const std::size_t end = std::min(xml_.find('<', at_), xml_.size());
            const std::string_view raw = xml_.substr(at_, end - at_);
            at_ = end;
            if (open_.empty()) {
                // Between the declaration, comments and the root element: blanks only.
                for (char c : raw) {
                    if (!isBlank(c)) return fail();
                }
                continue;
            }
            std::optional<std::string> resolved = resolveReferences(raw);
            if (!resolved) return fail();
            text_ = std::move(*resolved);
            return event_ = Event::Text;
        }
        if (rest.starts_with("<?")) {
            const std::size_t end = rest.find("?>");
            if (end == std::string_view::npos) return fail();
            at_ += end + 2;
        } else if (rest.starts_with("<!--")) {
            const std::size_t end = rest.find("-->", 4);
            if (end == std::string_view::npos) return fail();
            at_ += end + 3;
        } else if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = rest.find("]]>", 9);
            if (end == std::string_view::npos || open_.empty()) return fail();
            text_.assign(rest.substr(9, end - 9));
            at_ += end + 3;
            return event_ = Event::Text;
        } else if (rest.starts_with("<!")) {
            return fail();  // a document type declaration: no entity of its is ever expanded
        } else if (rest.starts_with("</")) {
            return endTag();
        } else {
            return startTag();
        }
    }
}

XmlReader::Event XmlReader::startTag() {
    if (open_.empty() && rootSeen_) return fail();  // a second root element
    ++at_;
    name_ = readName();
    if (name_.empty()) return fail();
    attributes_.clear();
    for (;;) {
        const std::size_t before = at_;
        skipBlanks();
        if (at_ >= xml_.size()) return fail();
        if (xml_[at_] == '>') {
            ++at_;
            break;
        }
        if (xml_.substr(at_, 2) == "/>") {
            at_ += 2;
            closeEmpty_ = true;
            break;
        }
        if (at_ == before) return fail();  // attributes are separated by blanks
        const std::string_view attributeName = readName();
        skipBlanks();
        if (attributeName.empty() || at_ >= xml_.size() || xml_[at_] != '=') return fail();
        ++at_;
        skipBlanks();
        if (at_ >= xml_.size() || (xml_[at_] != '"' && xml_[at_] != '\'')) return fail();
        const std::size_t close = xml_.find(xml_[at_], at_ + 1);
        if (close == std::string_view::npos || xml_.substr(at_, close - at_).find('<') != std::string_view::npos) {
            return fail();
        }
        attributes_.emplace_back(attributeName, xml_.substr(at_ + 1, close - at_ - 1));
        at_ = close + 1;
    }
    if (open_.size() >= kMaxDepth) return fail();
    open_.push_back(name_);
    rootSeen_ = true;
    return event_ = Event::StartElement;
}

XmlReader::Event XmlReader::endTag() {
    at_ += 2;
    name_ = readName();
    skipBlanks();
    if (open_.empty() || name_ != open_.back() || at_ >= xml_.size() || xml_[at_] != '>') return fail();
    ++at_;
    open_.pop_back();
    return event_ = Event::EndElement;
}

}  // namespace zorbalin::sheets
