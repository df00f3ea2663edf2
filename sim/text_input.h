#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mokopera::sim {

// A file's text as a Japanese PC may have written it, turned into UTF-8 a piece at a time: UTF-8
// with or without its byte order mark; UTF-16, little- or big-endian, with its mark (Excel's
// 「Unicode テキスト」, Notepad's "Unicode") or without one; and CP932, Shift_JIS as Windows writes
// it (Excel's CSV in Japan), which a text that is not UTF-8 is taken to be from where it stops
// being UTF-8. A character cut between two pieces is read whole with the next.
class TextDecoder {
public:
    TextDecoder() = default;
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;
    ~TextDecoder();

    // The UTF-8 of `bytes`, the file's next piece; an empty piece is the file's end. Throws
    // std::runtime_error where the system cannot read CP932 (its converter is missing).
    [[nodiscard]] std::string Decode(std::string_view bytes);

private:
    enum class Form : std::uint8_t { Unknown, Utf8, Utf16Little, Utf16Big, Cp932 };
    std::string Utf16(bool little);
    std::string Cp932();

    Form form_ = Form::Unknown;
    std::string held_;              // bytes of the file not turned into text yet: a character cut at a piece's end
    std::optional<iconv_t> cp932_;  // the system's converter, once it is needed
};

}  // namespace mokopera::sim
