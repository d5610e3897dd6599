#include "merge/jss_text.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

std::string Prepared(const std::string& text, const std::string& tag = "MyPack") {
    JssText jss(text);
    PrepareJssText(jss, tag);
    EXPECT_EQ(jss.Text().size(), jss.Scan().size());
    return jss.Text();
}

std::string ScanOf(const std::string& text) {
    JssText jss(text);
    PrepareJssText(jss, "t");
    return jss.Scan();
}

TEST(PrepareJssText, NormalisesLineEnds) {
    EXPECT_EQ(Prepared("a\r\nb\r\n"), "a\nb\n\n");
    EXPECT_EQ(Prepared("a\nb\n"), "a\nb\n\n");
    EXPECT_EQ(Prepared("a\r\nlast"), "a\nlast\n");
    EXPECT_EQ(Prepared(""), "\n");
    // A deletion-mark byte of the file goes too, in both copies.
    EXPECT_EQ(Prepared("a\x15"
                       "b\n"),
              "ab\n\n");
    EXPECT_EQ(Prepared("; c\x15 \"x\x15\"\nQ\n"), "; c \"x\"\nQ\n\n");
    EXPECT_EQ(ScanOf("; c\x15 \"x\x15\"\nQ\n"), std::string(7, ' ') + "\nq\n\n");
}

TEST(PrepareJssText, ScanIsLowerCaseWithStringsAndCommentsBlanked) {
    EXPECT_EQ(ScanOf("Say\t(\"A;B\") ; Return\n"), "say (\"   \")         \n\n");
    EXPECT_EQ(ScanOf("ÉCRIRE x\n"), "écrire x\n\n");
    // A block comment runs its lines together; its closing pair becomes spaces.
    EXPECT_EQ(ScanOf("a /* x\ny */ b\n"), "a" + std::string(11, ' ') + "b\n\n");
    // "/*" inside a line comment still opens a block comment.
    EXPECT_EQ(ScanOf("a ; c /* d\nReturn\n*/ e\n"), "a" + std::string(20, ' ') + "e\n\n");
    // "/*" inside a string does not; an open string ends with its line.
    EXPECT_EQ(ScanOf("s = \"/* x\nReturn\n"), "s = \"    \nreturn\n\n");
    // CRs go before the lexer runs: a "*", CR, "/" still closes a block comment.
    EXPECT_EQ(ScanOf("a /* x *\r/ b\r\n"), "a" + std::string(9, ' ') + "b\n\n");
    EXPECT_EQ(ScanOf("a /\r* x */ b\r\n"), "a" + std::string(9, ' ') + "b\n\n");
    // A lone "*/" is blanked even outside a comment.
    EXPECT_EQ(ScanOf("a */ b\n"), "a    b\n\n");
}

TEST(PrepareJssText, RemovesOwnMarkersOnly) {
    EXPECT_EQ(Prepared("A\nMyCall () ; [ Vuni-MyPack ]\nB\n"), "A\nB\n\n");
    EXPECT_EQ(Prepared("MyCall () ; [ vuni-MYPACK ]\n", "mypack"), "\n");
    EXPECT_EQ(Prepared("; [ VuniComment-MyPack ]    SayHello ()\n"), "    SayHello ()\n\n");
    EXPECT_EQ(Prepared("Script Foo (); [ VuniComment-MyPack ]\n"), "Script Foo ()\n\n");
    EXPECT_EQ(Prepared("Script Foo () ; note; [ VuniComment-MyPack ]\n"),
              "Script Foo () ; note\n\n");
    // Spaces inside the brackets are trimmed.
    EXPECT_EQ(Prepared("x ;[Vuni-MyPack]\ny\n"), "y\n\n");
    // Other tags, markers in strings and markers outside comments stay.
    const std::string others = "x ; [ Vuni-Other ]\n; [ VuniComment-Other ] y\n"
                               "s = \"; [ Vuni-MyPack ]\"\n[ Vuni-MyPack ]\n"
                               "z ; [ Vuni-MyPackX ]\n";
    EXPECT_EQ(Prepared(others), others + "\n");
    // Several comment-out markers on one line, each with its own ";".
    EXPECT_EQ(Prepared("; [ VuniComment-MyPack ]; [ VuniComment-MyPack ]  Say ()\n"),
              "  Say ()\n\n");
    EXPECT_EQ(Prepared("a ;b; [ VuniComment-MyPack ] [ VuniComment-MyPack ]c\n"), "a ;bc\n\n");
    // An insertion marker after a comment-out marker removes the whole line.
    EXPECT_EQ(Prepared("; [ VuniComment-MyPack ] x ; [ Vuni-MyPack ]\nk\n"), "k\n\n");
}

TEST(PrepareJssText, ScanStaysAlignedAfterRemoval) {
    JssText jss("Script A (); [ VuniComment-T ]\nIns () ; [ Vuni-T ]\n"
                "; [ VuniComment-T ]  Say (\"Q\")\nEndScript\n");
    PrepareJssText(jss, "t");
    EXPECT_EQ(jss.Text(), "Script A ()\n  Say (\"Q\")\nEndScript\n\n");
    // The scan copy is not lexed again: a line that was commented out stays blank in it.
    EXPECT_EQ(jss.Scan(), "script a ()\n" + std::string(11, ' ') + "\nendscript\n\n");
}

TEST(FindReturn, RecognisesStatements) {
    EXPECT_TRUE(FindReturn("return").found);
    EXPECT_EQ(FindReturn("   return").offset, 0u);
    EXPECT_EQ(FindReturn("  return (x)").offset, 0u);
    EXPECT_EQ(FindReturn("if x then return").offset, 10u);
    EXPECT_TRUE(FindReturn("x)return \" \"").found);
    EXPECT_EQ(FindReturn("f(x)return(1)").offset, 4u);
    EXPECT_TRUE(FindReturn("return\"a\"").found);
    EXPECT_FALSE(FindReturn("returnvalue ()").found);
    EXPECT_FALSE(FindReturn("a(return)").found);
    EXPECT_FALSE(FindReturn("x = myreturn").found);
    EXPECT_FALSE(FindReturn("nothing here").found);
    // Only the first occurrence counts.
    EXPECT_FALSE(FindReturn("returned return").found);
}

TEST(FindBlockEnd, GivesInsertionOffset) {
    EXPECT_EQ(FindBlockEnd("endscript", "endscript").offset, 0u);
    const KeywordMatch indented = FindBlockEnd("    endscript", "endscript");
    EXPECT_TRUE(indented.found);
    EXPECT_EQ(indented.offset, 0u);
    EXPECT_EQ(FindBlockEnd("x endscript", "endscript").offset, 2u);
    EXPECT_TRUE(FindBlockEnd("endfunctionx", "endfunction").found);
    EXPECT_FALSE(FindBlockEnd("xendfunction", "endfunction").found);
    EXPECT_FALSE(FindBlockEnd("endscript", "endfunction").found);
}

TEST(FindBlockHeader, RecognisesHeaders) {
    HeaderMatch h = FindBlockHeader("void function myfunc (int i)", "function");
    EXPECT_EQ(h.kind, HeaderKind::Complete);
    EXPECT_EQ(h.name, "myfunc");
    h = FindBlockHeader("script  myscript ()", "script");
    EXPECT_EQ(h.kind, HeaderKind::Complete);
    EXPECT_EQ(h.name, "myscript");
    EXPECT_EQ(FindBlockHeader("function f()", "function").name, "f");
    EXPECT_EQ(FindBlockHeader("script myscript", "script").kind, HeaderKind::Incomplete);
    EXPECT_EQ(FindBlockHeader("script myscript )(", "script").kind, HeaderKind::Incomplete);
    for (const char* type : {"handle", "int", "object", "string", "void"}) {
        EXPECT_EQ(FindBlockHeader(std::string(type) + " function f ()", "function").kind,
                  HeaderKind::Complete)
            << type;
    }
    // Not headers: an end line, a type before "script", a longer word, "(" right after.
    EXPECT_EQ(FindBlockHeader("endscript", "script").kind, HeaderKind::None);
    EXPECT_EQ(FindBlockHeader("endfunction", "function").kind, HeaderKind::None);
    EXPECT_EQ(FindBlockHeader("int script s ()", "script").kind, HeaderKind::None);
    EXPECT_EQ(FindBlockHeader("bool function f ()", "function").kind, HeaderKind::None);
    EXPECT_EQ(FindBlockHeader("scriptname ()", "script").kind, HeaderKind::None);
    EXPECT_EQ(FindBlockHeader("script(x)", "script").kind, HeaderKind::None);
}

TEST(JssText, InsertAtOffsetFollowsTheShift) {
    JssText jss("abcdef");
    jss.ResetShift();
    jss.InsertAtOffset(1, "X");
    jss.InsertAtOffset(1, "Y");
    EXPECT_EQ(jss.TextRange(0, 4), "aXYb");
    jss.InsertAtOffset(4, "ZZ");
    EXPECT_EQ(jss.Shift(), 4u);
    EXPECT_EQ(jss.TextSize(), 10u);
    EXPECT_EQ(jss.TextRange(5, 10), "dZZef"); // in front of the "e" of offset 4
    // An earlier offset lands at offset + shift of the text as it stands.
    jss.InsertAtOffset(0, "-");
    EXPECT_EQ(jss.Text(), "aXYb-cdZZef");
    jss.InsertAtOffset(100, "!");
    jss.Append("$");
    EXPECT_EQ(jss.Text(), "aXYb-cdZZef!$");
}

} // namespace
} // namespace vuni
