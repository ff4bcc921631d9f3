#include "support/MiniJson.h"

#include <cctype>
#include <cstdlib>

namespace tessarin::test {

const JsonValue& JsonValue::operator[](const std::string& key) const {
    auto it = fields.find(key);
    if (it == fields.end()) throw std::runtime_error("no field " + key);
    return it->second;
}

namespace {

class Parser {
public:
    explicit Parser(const std::string& s) : m_s(s) {}

    JsonValue document() {
        JsonValue v = value();
        space();
        if (m_i != m_s.size()) fail("text after the document");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& why) { throw std::runtime_error("JSON: " + why + " at " + std::to_string(m_i)); }
    void space() { while (m_i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[m_i]))) ++m_i; }
    bool eat(char c) {
        space();
        if (m_i < m_s.size() && m_s[m_i] == c) { ++m_i; return true; }
        return false;
    }
    void expect(char c) { if (!eat(c)) fail(std::string("expected ") + c); }
    bool word(const char* w) {
        const std::string ws(w);
        if (m_s.compare(m_i, ws.size(), ws) == 0) { m_i += ws.size(); return true; }
        return false;
    }

    std::string string() {
        expect('"');
        std::string out;
        while (m_i < m_s.size() && m_s[m_i] != '"') {
            char c = m_s[m_i++];
            if (c == '\\') {
                if (m_i >= m_s.size()) fail("bad escape");
                char e = m_s[m_i++];
                switch (e) {
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case 'u': out += static_cast<char>(std::strtol(m_s.substr(m_i, 4).c_str(), nullptr, 16)); m_i += 4; break;
                default: out += e;
                }
            } else {
                out += c;
            }
        }
        expect('"');
        return out;
    }

    JsonValue value() {
        space();
        JsonValue v;
        if (m_i >= m_s.size()) fail("unexpected end");
        const char c = m_s[m_i];
        if (c == '{') {
            ++m_i;
            v.kind = JsonValue::Kind::Object;
            if (eat('}')) return v;
            do {
                space();
                std::string k = string();
                expect(':');
                v.fields[k] = value();
            } while (eat(','));
            expect('}');
        } else if (c == '[') {
            ++m_i;
            v.kind = JsonValue::Kind::Array;
            if (eat(']')) return v;
            do v.items.push_back(value());
            while (eat(','));
            expect(']');
        } else if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = string();
        } else if (word("true")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = true;
        } else if (word("false")) {
            v.kind = JsonValue::Kind::Bool;
        } else if (word("null")) {
        } else {
            char* end = nullptr;
            v.number = std::strtod(m_s.c_str() + m_i, &end);
            if (end == m_s.c_str() + m_i) fail("bad value");
            m_i = static_cast<std::size_t>(end - m_s.c_str());
            v.kind = JsonValue::Kind::Number;
        }
        return v;
    }

    const std::string& m_s;
    std::size_t m_i = 0;
};

}  // namespace

JsonValue parseJson(const std::string& text) { return Parser(text).document(); }

}  // namespace tessarin::test
