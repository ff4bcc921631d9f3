#include "QtConvert.h"

#include "util/Utf8.h"

namespace tessarin::app {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + the byte, 0x80-0xFF

}  // namespace

QString pathText(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const auto [code, length] = util::decodeUtf8(bytes, 0);
        if (length == 0) {
            text += static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[0]));
            bytes.remove_prefix(1);
            continue;
        }
        if (code < 0x10000) {
            text += static_cast<char16_t>(code);
        } else {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        bytes.remove_prefix(length);
    }
    return QString::fromStdU16String(text);
}

std::filesystem::path toPath(const QString& path) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    const char16_t* units = reinterpret_cast<const char16_t*>(path.utf16());
    const auto count = static_cast<std::size_t>(path.size());
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            util::appendUtf8(bytes, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            bytes += static_cast<char>(unit - kEscapeBase);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            util::appendUtf8(bytes, 0xFFFD);  // an unpaired surrogate that stands for no byte
        } else {
            util::appendUtf8(bytes, unit);
        }
    }
    return std::filesystem::path(std::move(bytes));
}

}  // namespace tessarin::app
