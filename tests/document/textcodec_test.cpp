#include <gtest/gtest.h>

#include "document/alignmentcode.h"
#include "document/documentmessages.h"
#include "document/textcodec.h"

using namespace tessaria;

TEST(TextCodec, Utf8Validity)
{
    struct Case { std::string bytes; bool valid; };
    const Case cases[] = {
        {"", true},
        {"plain /path/a.jpg", true},
        {"Caf\xc3\xa9", true},
        {"\xe2\x82\xac", true},
        {"\xf0\x9f\x93\xb7", true},
        {"\xf4\x8f\xbf\xbf", true},          // U+10FFFF
        {"\xed\x9f\xbf", true},              // U+D7FF, just below the surrogates
        {"Caf\xe9", false},                  // Windows-1252
        {"\x80", false},                     // lone continuation
        {"\xc3", false},                     // cut
        {"\xe2\x82", false},
        {"\xc0\x80", false},                 // overlong
        {"\xc1\xbf", false},
        {"\xe0\x80\x80", false},
        {"\xf0\x80\x80\x80", false},
        {"\xed\xa0\x80", false},             // surrogate
        {"\xf4\x90\x80\x80", false},         // above U+10FFFF
        {"\xf5\x80\x80\x80", false},
        {"\xff", false},
        {"\xc3\x28", false},                 // bad continuation
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
}

TEST(TextCodec, Windows1252)
{
    struct Case { uint8_t byte; std::string utf8; };
    const Case cases[] = {
        {0x00, std::string(1, '\0')}, {0x41, "A"}, {0x80, "\u20AC"}, {0x81, "\u0081"}, {0x8A, "\u0160"},
        {0x8D, "\u008D"}, {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x93, "\u201C"}, {0x99, "\u2122"},
        {0x9D, "\u009D"}, {0x9F, "\u0178"}, {0xA0, "\u00A0"}, {0xE9, "\u00E9"}, {0xFF, "\u00FF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Windows1252ToUtf8(std::string(1, char(c.byte))), c.utf8) << "byte " << int(c.byte);
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_TRUE(IsValidUtf8(Windows1252ToUtf8(all)));
}

TEST(TextCodec, DecodingTakesUtf8WhenItIsValid)
{
    struct Case { std::string stored; std::string decoded; };
    const Case cases[] = {
        {"/pics/Caf\xc3\xa9.jpg", "/pics/Caf\xc3\xa9.jpg"},
        {"/pics/Caf\xe9.jpg", "/pics/Caf\xc3\xa9.jpg"},
        {"C:\\Fotos\\M\xfcnchen \x80 5", "C:\\Fotos\\M\xc3\xbc" "nchen \xe2\x82\xac 5"},
        // Valid UTF-8 wins even where the older program meant "Ã©".
        {"\xc3\xa9", "\xc3\xa9"},
        // One bad byte makes the whole string Windows-1252.
        {"\xc3\xa9\xe9", "\xc3\x83\xc2\xa9\xc3\xa9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeDocumentText(c.stored), c.decoded) << testing::PrintToString(c.stored);
}

TEST(AlignmentCode, BothDirections)
{
    struct Case { TAlignment alignment; int32_t code; };
    for (const Case c : {Case{TAlignment::taLeftJustify, 0}, {TAlignment::taCenter, 1}, {TAlignment::taRightJustify, 2}}) {
        EXPECT_EQ(AlignmentToCode(c.alignment), c.code) << c.code;
        EXPECT_EQ(AlignmentFromCode(c.code), c.alignment) << c.code;
    }
    for (int32_t code : {-1, 3, 255, 0x7FFFFFFF})
        EXPECT_EQ(AlignmentFromCode(code), TAlignment::taLeftJustify) << code;
    EXPECT_EQ(AlignmentToCode(static_cast<TAlignment>(5)), 0);
}

TEST(MissingPictures, OneMessageListsThem)
{
    EXPECT_EQ(MissingPicturesMessage({}), "");
    EXPECT_EQ(MissingPicturesMessage({"/a.jpg"}),
              "This picture could not be read:\n/a.jpg\n\nTheir boxes are kept and are saved with the document.");
    const std::string many = MissingPicturesMessage({"/a", "/b", "/c", "/d"}, 2);
    EXPECT_EQ(many, "These 4 pictures could not be read:\n/a\n/b\n... and 2 more\n\n"
                    "Their boxes are kept and are saved with the document.");
}
