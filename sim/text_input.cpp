#include "sim/text_input.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace mokopera::sim {

namespace {

// The UTF-8 of one code point.
void Append(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// How many of the bytes of `text`, from its start, are whole UTF-8; `cut` tells whether what
// follows is a character cut at the end rather than bytes that are no UTF-8.
std::size_t Utf8Length(std::string_view text, bool& cut)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
        if (length == 0 || (length == 2 && lead < 0xC2))
            break;
        std::size_t k = 1;
        while (k < length && at + k < text.size() && static_cast<unsigned char>(text[at + k]) >> 6 == 2)
            ++k;
        if (k < length) {
            cut = at + k == text.size();
            return at;
        }
        at += length;
    }
    cut = false;
    return at;
}

}  // namespace

TextDecoder::~TextDecoder()
{
    if (cp932_)
        iconv_close(*cp932_);
}

std::string TextDecoder::Decode(std::string_view bytes)
{
    held_.append(bytes);
    if (form_ == Form::Unknown) {
        if (held_.size() < 3 && !bytes.empty())
            return {};  // too little to tell the form yet
        const std::string_view start = held_;
        if (start.starts_with("\xEF\xBB\xBF")) {
            held_.erase(0, 3);
            form_ = Form::Utf8;
        } else if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
            form_ = start[0] == '\xFF' ? Form::Utf16Little : Form::Utf16Big;
            held_.erase(0, 2);
        } else {
            // UTF-16 without its mark: the NUL bytes of its ASCII characters (a code's letters,
            // digits and hyphens), which no other form of a text has, on one side of each pair.
            std::size_t even = 0, odd = 0;
            for (std::size_t at = 0; at < std::min<std::size_t>(start.size(), 1 << 16); ++at)
                (at % 2 ? odd : even) += start[at] == '\0' ? 1 : 0;
            form_ = even + odd == 0 ? Form::Utf8 : odd >= even ? Form::Utf16Little : Form::Utf16Big;
        }
    }
    if (form_ == Form::Utf16Little || form_ == Form::Utf16Big)
        return Utf16(form_ == Form::Utf16Little);
    if (form_ == Form::Utf8) {
        bool cut = false;
        const std::size_t whole = Utf8Length(held_, cut);
        if (whole == held_.size() || cut) {
            std::string text = held_.substr(0, whole);
            held_.erase(0, whole);
            return text;
        }
        form_ = Form::Cp932;  // bytes that are no UTF-8: the rest is read as CP932
        std::string text = held_.substr(0, whole);
        held_.erase(0, whole);
        return text + Cp932();
    }
    return Cp932();
}

std::string TextDecoder::Utf16(bool little)
{
    std::string text;
    std::size_t at = 0;
    const auto unit = [&](std::size_t k) {
        const auto a = static_cast<unsigned char>(held_[k]), b = static_cast<unsigned char>(held_[k + 1]);
        return static_cast<char32_t>(little ? a | b << 8 : a << 8 | b);
    };
    while (at + 1 < held_.size()) {
        const char32_t first = unit(at);
        if (first >= 0xD800 && first < 0xDC00) {
            if (at + 3 >= held_.size())
                break;  // the pair's second half comes with the next piece
            const char32_t second = unit(at + 2);
            const bool pair = second >= 0xDC00 && second < 0xE000;
            Append(text, pair ? 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00) : 0xFFFD);
            at += pair ? 4 : 2;
        } else {
            Append(text, first >= 0xDC00 && first < 0xE000 ? 0xFFFD : first);
            at += 2;
        }
    }
    held_.erase(0, at);
    return text;
}

std::string TextDecoder::Cp932()
{
    if (!cp932_) {
        const iconv_t opened = iconv_open("UTF-8", "CP932");
        if (reinterpret_cast<std::intptr_t>(opened) == -1)  // iconv_open's (iconv_t) -1
            throw std::runtime_error("this system cannot read CP932 (Shift_JIS)");
        cp932_ = opened;
    }
    std::string text;
    char* in = held_.data();
    std::size_t left = held_.size();
    char buffer[4096];
    while (left > 0) {
        char* out = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t done = iconv(*cp932_, &in, &left, &out, &room);
        text.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        if (errno == EINVAL)
            break;             // a character cut at the piece's end
        Append(text, 0xFFFD);  // a byte that is no CP932
        ++in;
        --left;
    }
    held_.erase(0, held_.size() - left);
    return text;
}

}  // namespace mokopera::sim
