#include <algorithm>
#include <array>
#include <cstdio>

#include "document/Persistence.h"
#include "html/Routines.h"

namespace tessel {

namespace {

// A part of `s` as the original position arithmetic reads it: from the 1-based `index`,
// `count` characters, clamped to the text (a count below 1 gives an empty text).
std::string_view Copy(std::string_view s, long index, long count) {
    if (index < 1)
        index = 1;
    if (count < 1 || static_cast<size_t>(index) > s.size())
        return {};
    return s.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

// The 1-based position of `c` in `s`, 0 when it does not occur.
long Pos(char c, std::string_view s) {
    const size_t at = s.find(c);
    return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}

// `s` without its first `count` characters.
std::string_view DropFront(std::string_view s, long count) {
    if (count <= 0)
        return s;
    return s.substr(std::min(s.size(), static_cast<size_t>(count)));
}

// A single quote or backslash would end the script's string literal and break the whole
// drop box, so they are escaped in option lines.
void AppendScriptText(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
}

// Splits a line at its first TAB; without one, the first part is empty.
std::pair<std::string_view, std::string_view> SplitAtTab(std::string_view line) {
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
        return {std::string_view(), line};
    return {line.substr(0, tab), line.substr(tab + 1)};
}

void AppendConvertedLine(std::string& out, std::string_view line, TConvertVariant variant) {
    switch (variant) {
        case cvText:
            out += line.empty() ? std::string_view("<BR><BR>") : line;
            return;
        case cvOption:
            if (line.size() == 1) {
                out += line;
            } else {
                auto [address, text] = SplitAtTab(line);
                out += "document.write('<option value=\"";
                AppendScriptText(out, AttributeValue(address));
                out += "\">";
                AppendScriptText(out, text);
                out += "');\r\n";
            }
            return;
        case cvList:
            if (line.size() >= 2)
                out += "   <LI>";
            out += line;
            return;
        case cvMeta:
            if (line.size() == 1) {
                out += line;
            } else {
                auto [name, content] = SplitAtTab(line);
                out += "<META NAME=\"";
                out += AttributeValue(name);
                out += "\" CONTENT=\"";
                out += AttributeValue(content);
                out += "\">";
            }
            return;
    }
}

// The face as FACE takes it: the description's quoted part with its own quotes. A double
// quote inside the name would end the attribute early.
std::string FaceAttribute(std::string_view face) {
    if (face.size() < 2 || face.front() != '"' || face.back() != '"')
        return std::string(face);
    return '"' + AttributeValue(face.substr(1, face.size() - 2)) + '"';
}

}  // namespace

std::string AttributeValue(std::string_view text) {
    std::string value;
    value.reserve(text.size());
    for (char c : text) {
        if (c == '"')
            value += "&quot;";
        else
            value += c;
    }
    return value;
}

std::string ConvertLines(std::string_view text, TConvertVariant variant) {
    TStringList lines;
    lines.SetText(text);
    std::string out;
    out.reserve(text.size() + 16 * lines.lines.size());
    for (const std::string& line : lines.lines) {
        AppendConvertedLine(out, line, variant);
        out += "\r\n";
    }
    return out;
}

std::string ColorToHTML(TColor color) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return buffer;
}

std::string FormatBlockText(const std::string& text, const std::string& description,
                            int applyFont) {
    std::string styled = text;
    if (description.find("Underline") != std::string::npos)
        styled = "<U>" + styled + "</U>";
    if (description.find("Italic") != std::string::npos)
        styled = "<I>" + styled + "</I>";
    if (description.find("Bold") != std::string::npos)
        styled = "<B>" + styled + "</B>";
    if (applyFont == 0)
        return styled;
    if (applyFont != 1)
        return {};

    std::string_view rest = description;
    const long faceEnd = Pos(',', rest);
    const std::string_view face = Copy(rest, 1, faceEnd - 1);
    rest = DropFront(rest, faceEnd + 1);  // the face, its comma and the space after it

    std::string size(Copy(rest, 1, Pos(',', rest) - 1));
    static constexpr std::array<int, 7> kPointSizes{8, 10, 12, 14, 16, 18, 20};
    const int32_t points = StrToInt(size);
    for (size_t i = 0; i < kPointSizes.size(); ++i) {
        if (kPointSizes[i] == points)
            size = std::to_string(i + 1);
    }
    rest = DropFront(rest, Pos(']', rest) + 1);  // through the style list and its comma

    const long colorStart = Pos('[', rest);
    const long colorEnd = Pos(']', DropFront(rest, colorStart)) + colorStart;
    const std::string colorHtml =
        ColorToHTML(StringToColor(Copy(rest, colorStart + 1, colorEnd - colorStart - 1)));

    std::string tag = "<FONT FACE=";
    tag += FaceAttribute(face);
    tag += " SIZE=\"";
    tag += size;
    tag += "\"";
    // "#000005" marks a font without a chosen colour.
    if (colorHtml != "#000005")
        tag += " COLOR=\"" + colorHtml + "\"";
    return tag + ">" + styled + "</FONT>";
}

std::string FontToDescription(const TFontValue& font) {
    std::string styles;
    if (font.Bold)
        styles += "|Bold";
    if (font.Italic)
        styles += "|Italic";
    if (font.Underline)
        styles += "|Underline";
    if (!styles.empty())
        styles.erase(0, 1);
    return "\"" + font.Name + "\", " + std::to_string(font.Size) + ", [" + styles + "], [" +
           ColorToString(font.Color) + "]";
}

void DescriptionToFont(const std::string& description, TFontValue& font) {
    std::string_view rest = description;
    long comma = Pos(',', rest);
    const std::string_view face = Copy(rest, 2, comma - 3);  // inside the double quotes
    rest = DropFront(rest, comma);
    comma = Pos(',', rest);
    const std::string_view size = Copy(rest, 2, comma - 2);  // after the space
    rest = DropFront(rest, comma);
    comma = Pos(',', rest);
    const std::string styles = "|" + std::string(Copy(rest, 3, comma - 4));  // inside [ ]
    rest = DropFront(rest, comma);
    const std::string_view color = Copy(rest, 3, static_cast<long>(rest.size()) - 3);

    TFontValue read;
    read.Name = face;
    read.Size = StrToInt(size);
    read.Color = StringToColor(color);
    read.Bold = styles.find("|Bold") != std::string::npos;
    read.Italic = styles.find("|Italic") != std::string::npos;
    read.Underline = styles.find("|Underline") != std::string::npos;
    font = std::move(read);
}

}  // namespace tessel
