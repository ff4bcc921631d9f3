#include "Json.h"

#include <cstdio>
#include <stdexcept>

#include "util/Utf8.h"

namespace tessarin::cli {

void Json::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) m_out += ',';
        m_first.back() = false;
    }
}

Json& Json::beginObject() {
    separate();
    m_out += '{';
    m_first.push_back(true);
    return *this;
}
Json& Json::endObject() {
    m_out += '}';
    m_first.pop_back();
    spill();
    return *this;
}

void Json::spill() {
    constexpr std::size_t kBlock = 1 << 16;
    if (!m_sink || m_out.size() < kBlock) return;
    if (std::fwrite(m_out.data(), 1, m_out.size(), m_sink) != m_out.size())
        throw std::runtime_error("cannot write the output");
    m_out.clear();
}
Json& Json::beginArray() {
    separate();
    m_out += '[';
    m_first.push_back(true);
    return *this;
}
Json& Json::endArray() {
    m_out += ']';
    m_first.pop_back();
    return *this;
}
Json& Json::key(std::string_view k) {
    separate();
    appendString(k);
    m_out += ':';
    m_afterKey = true;
    return *this;
}
Json& Json::integer(std::int64_t v) {
    separate();
    m_out += std::to_string(v);
    return *this;
}
Json& Json::number(double v) {
    separate();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v == 0 ? 0.0 : v);  // no "-0" for a negated zero
    m_out += buf;
    return *this;
}
Json& Json::value(bool v) {
    separate();
    m_out += v ? "true" : "false";
    return *this;
}
Json& Json::null() {
    separate();
    m_out += "null";
    return *this;
}
Json& Json::value(std::string_view v) {
    separate();
    appendString(v);
    return *this;
}

namespace {

void appendEscape(std::string& out, unsigned char c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", c);
    out += buf;
}

}  // namespace

void Json::appendString(std::string_view v) {
    m_out += '"';
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto c = static_cast<unsigned char>(v[i]);
        if (c >= 0x80) {
            // Text must be UTF-8; a byte that starts no UTF-8 character (a Latin-1 file name) is
            // given as the character it stands for in Latin-1, so the document stays readable.
            if (const std::size_t n = util::decodeUtf8(v, i).length; n != 0) {
                m_out.append(v.substr(i, n));
                i += n - 1;
            } else {
                appendEscape(m_out, c);
            }
            continue;
        }
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        default:
            if (c < 0x20) appendEscape(m_out, c);
            else m_out += static_cast<char>(c);
        }
    }
    m_out += '"';
}

}  // namespace tessarin::cli
