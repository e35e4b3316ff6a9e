#include "common/cp1251.h"

#include <gtest/gtest.h>
#ifdef ZARVIK_TEST_WITH_QT
#include <QStringDecoder>
#include <QStringEncoder>
#endif
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

using zarvik::cp1251ToUtf8;
using zarvik::utf8ToCp1251;
using zarvik::utf8ToUtf16;

#ifdef _WIN32
// The system's own code page is an independent reference for every assigned byte.
std::string systemDecode(unsigned char byte, bool& ok) {
    const char in = static_cast<char>(byte);
    wchar_t wide[4] = {};
    const int n = MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, &in, 1, wide, 4);
    char out[8] = {};
    const int bytes =
        n > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, n, out, sizeof out, nullptr, nullptr) : 0;
    // Windows maps the unassigned 0x98 to U+0098 like any other byte.
    ok = bytes > 0 && byte != 0x98;
    return std::string(out, static_cast<std::size_t>(bytes));
}
#else
// glibc's converter is an independent reference for every assigned byte.
std::string systemDecode(unsigned char byte, bool& ok) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return std::string(out, sizeof out - outLeft);
}
#endif

TEST(Cp1251, EveryByteDecodesLikeTheSystemConverterAndEncodesBack) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1251ToUtf8(byte);
        bool ok = false;
        const std::string reference = systemDecode(static_cast<unsigned char>(b), ok);
        if (b == 0x98) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(utf8, "\xC2\x98") << "unassigned byte decodes to U+0098";
            EXPECT_EQ(utf8ToCp1251(utf8), byte);
            continue;
        }
        ASSERT_TRUE(ok) << b;
        EXPECT_EQ(utf8, reference) << "byte " << b;
        EXPECT_EQ(utf8ToCp1251(utf8), byte) << "byte " << b;
    }
}

#ifdef ZARVIK_TEST_WITH_QT
TEST(Cp1251, AgreesWithQtWhereQtHasTheCodec) {
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid())
        GTEST_SKIP() << "this Qt build has no windows-1251 decoder";
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue;
        const QByteArray byte(1, static_cast<char>(b));
        const QString q = decoder.decode(byte);
        EXPECT_EQ(cp1251ToUtf8(byte.toStdString()), q.toStdString()) << b;
    }
}
#endif

TEST(Cp1251, CyrillicTextAndCharactersWithoutAByte) {
    EXPECT_EQ(utf8ToCp1251("Каналы 13"), "\xCA\xE0\xED\xE0\xEB\xFB 13");
    EXPECT_EQ(utf8ToCp1251("Ёё№"), "\xA8\xB8\xB9");
    EXPECT_EQ(cp1251ToUtf8("\xD3\xF1\xEA\xEE\xF0\xE5\xED\xE8\xE5"), "Ускорение");
    // Greek alpha, a CJK character and an emoji have no byte.
    EXPECT_EQ(utf8ToCp1251("a\xCE\xB1"
                           "b\xE4\xB8\xAD"
                           "c\xF0\x9F\x98\x80"),
              "a?b?c?");
    // Malformed UTF-8: a lone continuation byte and a cut sequence.
    EXPECT_EQ(utf8ToCp1251("x\x80y\xD0"), "x?y?");
}

TEST(Utf16, CyrillicPairsForAnEmojiAndReplacementForBrokenText) {
    EXPECT_EQ(utf8ToUtf16("Ж1"), u"Ж1");
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string({0xD83D, 0xDE00}));
    EXPECT_EQ(utf8ToUtf16("x\x80y\xD0"), u"x\uFFFDy\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD") << "a lone surrogate is no character";
}

} // namespace
