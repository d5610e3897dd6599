#include "merge/merge_pass.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

const char* const kPath = "MyPack.vunimerge.jss";

MergeFile Parse(const std::string& content, const std::string& path = kPath) {
    MergeFile file;
    ParseMergeContent(file, path, content);
    return file;
}

// Prepares then merges; returns the working text and the conflict report.
std::string Merge(const std::string& text, const std::string& mergeContent,
                  std::string* conflicts = nullptr, const std::string& path = kPath) {
    const MergeFile file = Parse(mergeContent, path);
    JssText jss(text);
    PrepareJssText(jss, file.tag);
    std::string report;
    MergeIntoJssText(jss, file, report);
    if (conflicts != nullptr) {
        *conflicts = report;
    } else {
        EXPECT_EQ(report, "");
    }
    return jss.Text();
}

std::string Removed(const std::string& text, const std::string& tag = "MyPack") {
    JssText jss(text);
    PrepareJssText(jss, tag);
    return jss.Text();
}

const std::string kInclude = "Include \"MyPack.vunimerge.jss\" ; [ Vuni-MyPack ]\n";

TEST(ParseMergeFile, RecognisesDirectives) {
    const MergeFile f = Parse(";merge_tag First\r\n"
                              "; MERGE_ADDENDSCRIPT SayAll MyHook ()\r\n"
                              "  ;  merge_addendfunction MyFunc  Say (1,  2)  \n"
                              ";merge_replacefunction F G ()\r"
                              ";merge_replacescript S T ()\n"
                              ";merge_addbegininclude \"a.jsh\"\n"
                              ";merge_addendinclude Include \"b.jsb\"\n"
                              ";merge_addendscript SayAll\n"  // no line
                              ";merge_addendscriptSayAll x\n" // no space
                              "\t;merge_addendscript A x\n"   // tab before ";"
                              ";\tmerge_addendscript A x\n"   // tab after ";"
                              ";merge_addendscript\tA x\n"    // tab after the keyword
                              ";merge_addbegininclude\n"      // no line
                              "Script X () ;merge_addendscript A x\n"
                              ";merge_tag Other Pack\n");
    ASSERT_EQ(f.directives.size(), 7u);
    EXPECT_EQ(f.tag, "Other Pack");
    const MergeDirective expected[] = {
        {kKindAddEndScript, 0, "SayAll", "MyHook ()"},
        {kKindAddEndFunction, 0, "MyFunc", "Say (1,  2)"},
        {kKindReplaceFunction, 0, "F", "G ()"},
        {kKindReplaceScript, 0, "S", "T ()"},
        {kKindInclude, 1, "", "\"a.jsh\""},
        {kKindInclude, 0, "", "Include \"b.jsb\""},
        {kKindInclude, 1, "", "Include \"MyPack.vunimerge.jss\""},
    };
    for (size_t k = 0; k < 7; ++k) {
        EXPECT_EQ(f.directives[k].kind, expected[k].kind) << k;
        EXPECT_EQ(f.directives[k].position, expected[k].position) << k;
        EXPECT_EQ(f.directives[k].target, expected[k].target) << k;
        EXPECT_EQ(f.directives[k].line, expected[k].line) << k;
    }
}

TEST(ParseMergeFile, DefaultTagIsThePathLessTheSuffix) {
    EXPECT_EQ(Parse("x", "C:\\S\\MyPack.vunimerge.jss").tag, "C:\\S\\MyPack");
    EXPECT_EQ(Parse("x", "C:\\S\\MyPack.VuniMerge.JSS").tag, "C:\\S\\MyPack");
    EXPECT_EQ(Parse("x", "D:\\a.vunimerge.jss\\b.vunimerge.jss").tag, "D:\\a\\b");
    EXPECT_EQ(Parse("x", "C:\\S\\MyPack.vunimerge.jss").directives.back().line,
              "Include \"MyPack.vunimerge.jss\"");
    // An empty merge tag line makes the tag empty.
    EXPECT_EQ(Parse(";merge_tag\n", "C:\\x.vunimerge.jss").tag, "");
    // Empty content: no directive, not even the implicit include.
    EXPECT_TRUE(Parse("").directives.empty());
    EXPECT_EQ(Parse("\n").directives.size(), 1u);
}

TEST(BuildDirectiveLines, SelectsByNameClassAndPosition) {
    const MergeFile f = Parse(";merge_tag T\n;merge_addendscript A one\n"
                              ";merge_replacescript a two\n;merge_addendfunction A three\n");
    EXPECT_EQ(BuildDirectiveLines(f, "a", kClassScript, 0), "one ; [ Vuni-T ]\ntwo ; [ Vuni-T ]\n");
    EXPECT_EQ(BuildDirectiveLines(f, "A", kClassFunction, 0), "three ; [ Vuni-T ]\n");
    EXPECT_EQ(BuildDirectiveLines(f, "b", kClassScript, 0), "");
    EXPECT_EQ(BuildDirectiveLines(f, "", kClassInclude, 0), "");
}

TEST(CheckReplace, ReportsAnotherPackagesMarker) {
    const MergeFile f = Parse(";merge_replacescript Foo x\n;merge_replacefunction Bar y\n");
    std::string conflicts;
    EXPECT_TRUE(CheckReplace(f, "foo", kKindReplaceScript, "Script Foo ()", conflicts));
    EXPECT_FALSE(CheckReplace(f, "foo", kKindReplaceFunction, "Script Foo ()", conflicts));
    EXPECT_TRUE(CheckReplace(f, "foo", kKindReplaceScript, "Script Foo () ; [note]", conflicts));
    EXPECT_EQ(conflicts, "");
    EXPECT_FALSE(CheckReplace(f, "foo", kKindReplaceScript,
                              "Script Foo (); [ VuniComment-Other Pack ]", conflicts));
    EXPECT_FALSE(CheckReplace(f, "bar", kKindReplaceFunction,
                              "Int Function Bar () ; x [a] [ VUNICOMMENT-Z ]", conflicts));
    EXPECT_EQ(conflicts, "Le script \"foo\" est déja utilisé par other pack\n"
                         "La fonction \"bar\" est déja utilisé par z\n");
}

TEST(MergeIntoJssText, WorkedExample) {
    const std::string merge = ";merge_tag MyPack\n;merge_addendscript SayLine MyPackSayLine ()\n";
    const std::string original = "Script SayLine ()\r\n  SayString (\"x\")\r\n  EndScript\r\n";
    const std::string once = Merge(original, merge);
    EXPECT_EQ(once, kInclude + "Script SayLine ()\n  SayString (\"x\")\n"
                               "MyPackSayLine () ; [ Vuni-MyPack ]\n  EndScript\n\n");
    // Applying it again takes the first copy out before adding its own.
    const std::string twice = Merge(once.substr(0, once.size() - 1), merge);
    EXPECT_EQ(twice, once);
    EXPECT_EQ(Removed(once), "Script SayLine ()\n  SayString (\"x\")\n  EndScript\n\n\n");
}

TEST(MergeIntoJssText, BeginIncludes) {
    // No directives: the include of the file itself still goes before the first block.
    EXPECT_EQ(Merge("; head\nScript A ()\nEndScript\n", "; nothing\n"),
              "; head\n" + kInclude + "Script A ()\nEndScript\n\n");
    // Explicit begin includes come first, in file order; end includes follow the final LF.
    EXPECT_EQ(Merge("Script A ()\nEndScript\nScript B ()\nEndScript\n",
                    ";merge_addbegininclude Include \"x.jsh\"\n"
                    ";merge_addendinclude Include \"e.jsb\"\n"
                    ";merge_addbegininclude Include \"y.jsh\"\n"),
              "Include \"x.jsh\" ; [ Vuni-MyPack ]\nInclude \"y.jsh\" ; [ Vuni-MyPack ]\n" +
                  kInclude + "Script A ()\nEndScript\nScript B ()\nEndScript\n\n" +
                  "Include \"e.jsb\" ; [ Vuni-MyPack ]\n");
    // No header at all: no begin include, end includes still appended.
    EXPECT_EQ(Merge("Include \"a\"\n", ";merge_addendinclude Include \"e\"\n"),
              "Include \"a\"\n\nInclude \"e\" ; [ Vuni-MyPack ]\n");
    // A return type alone on the line before the header.
    EXPECT_EQ(Merge("; c\n\nInt\n\n  Function Foo ()\nEndFunction\n", "x\n"),
              "; c\n\n" + kInclude + "Int\n\n  Function Foo ()\nEndFunction\n\n");
    // A header over two lines.
    EXPECT_EQ(Merge("x\nScript MyScript\n  ()\nEndScript\n", ";merge_addendscript myscript Q\n"),
              "x\n" + kInclude + "Script MyScript\n  ()\nQ ; [ Vuni-MyPack ]\nEndScript\n\n");
}

TEST(MergeIntoJssText, FunctionLinesAndReturns) {
    const std::string two = ";merge_addendfunction Foo A ()\n;merge_addendfunction FOO B ()\n";
    const std::string lines = "A () ; [ Vuni-MyPack ]\nB () ; [ Vuni-MyPack ]\n";
    // Two directives in order before the end line.
    EXPECT_EQ(Merge("Void Function Foo ()\n  Say ()\nEndFunction\n", two),
              kInclude + "Void Function Foo ()\n  Say ()\n" + lines + "EndFunction\n\n");
    // A closing return: the lines go before it.
    EXPECT_EQ(Merge("Int Function Foo ()\n  Say ()\n  Return 1\nEndFunction\n", two),
              kInclude + "Int Function Foo ()\n  Say ()\n" + lines + "  Return 1\nEndFunction\n\n");
    // A return inside If ... EndIf or While ... EndWhile: before the end line.
    EXPECT_EQ(Merge("Function Foo ()\nIf x Then\n  Return\nEndIf\nEndFunction\n", two),
              kInclude + "Function Foo ()\nIf x Then\n  Return\nEndIf\n" + lines +
                  "EndFunction\n\n");
    EXPECT_EQ(Merge("Function Foo ()\nWhile x\n  Return\n  EndWhile\nEndFunction\n", two),
              kInclude + "Function Foo ()\nWhile x\n  Return\n  EndWhile\n" + lines +
                  "EndFunction\n\n");
    // A return in a comment or string is no statement; ReturnValue is no return either.
    EXPECT_EQ(
        Merge("Function Foo ()\n; Return\nSay (\"return\")\nReturnValue ()\nEndFunction\n", two),
        kInclude + "Function Foo ()\n; Return\nSay (\"return\")\nReturnValue ()\n" + lines +
            "EndFunction\n\n");
    // "x Return" inserts just before the keyword; "x EndFunction" likewise.
    EXPECT_EQ(Merge("Function Foo ()\nx) Return\nEndFunction\n", two),
              kInclude + "Function Foo ()\nx) " + lines + "Return\nEndFunction\n\n");
    EXPECT_EQ(Merge("Function Foo ()\nx EndFunction\n", two),
              kInclude + "Function Foo ()\nx " + lines + "EndFunction\n\n");
    // A return of an earlier function never moves the lines of this one.
    EXPECT_EQ(Merge("Function Bar ()\nReturn\nEndFunction\nScript S ()\nEndScript\n"
                    "Function Foo ()\nSay ()\nEndFunction\n",
                    two),
              kInclude +
                  "Function Bar ()\nReturn\nEndFunction\nScript S ()\nEndScript\n"
                  "Function Foo ()\nSay ()\n" +
                  lines + "EndFunction\n\n");
}

TEST(MergeIntoJssText, ScriptsAndNames) {
    // Names match without regard to case; a directive for a missing block does nothing.
    EXPECT_EQ(Merge("Script SayAll ()\nEndScript\n",
                    ";merge_addendscript sayall H ()\n;merge_addendscript Missing M ()\n"),
              kInclude + "Script SayAll ()\nH () ; [ Vuni-MyPack ]\nEndScript\n\n");
    // A script directive does not apply to a function of that name and the reverse.
    EXPECT_EQ(Merge("Function A ()\nEndFunction\nScript B ()\nEndScript\n",
                    ";merge_addendscript A x\n;merge_addendfunction B y\n"),
              kInclude + "Function A ()\nEndFunction\nScript B ()\nEndScript\n\n");
}

TEST(MergeIntoJssText, ReplaceCommentsOutTheBody) {
    const std::string merge = ";merge_replacescript First R ()\n";
    const std::string original = "Script First ()\n  Say ()\n\n  Return\nEndScript\n"
                                 "Script Next ()\n  Keep ()\nEndScript\n";
    const std::string merged = Merge(original, merge);
    EXPECT_EQ(merged, kInclude + "Script First (); [ VuniComment-MyPack ]\n"
                                 "; [ VuniComment-MyPack ]  Say ()\n"
                                 "; [ VuniComment-MyPack ]\n"
                                 "; [ VuniComment-MyPack ]  Return\n"
                                 "R () ; [ Vuni-MyPack ]\nEndScript\n"
                                 "Script Next ()\n  Keep ()\nEndScript\n\n");
    EXPECT_EQ(Removed(merged), original + "\n\n");
    // A replaced function's return is disabled with its body; the lines go before the end.
    EXPECT_EQ(Merge("Int Function F ()\nReturn 1\nEndFunction\n",
                    ";merge_replacefunction F R ()\n;merge_addendfunction F A ()\n"),
              kInclude +
                  "Int Function F (); [ VuniComment-MyPack ]\n; [ VuniComment-MyPack ]Return 1\n"
                  "R () ; [ Vuni-MyPack ]\nA () ; [ Vuni-MyPack ]\nEndFunction\n\n");
}

TEST(MergeIntoJssText, ConflictWithAnotherPackage) {
    const std::string other = "Script First (); [ VuniComment-Other ]\n"
                              "; [ VuniComment-Other ]  Say ()\n"
                              "X () ; [ Vuni-Other ]\nEndScript\n";
    std::string conflicts;
    const std::string merged = Merge(other, ";merge_replacescript First R ()\n", &conflicts);
    EXPECT_EQ(conflicts, "Le script \"first\" est déja utilisé par other\n");
    // The block stays enabled and unmarked; the lines are still added in memory.
    EXPECT_EQ(merged, kInclude + "Script First (); [ VuniComment-Other ]\n"
                                 "; [ VuniComment-Other ]  Say ()\n"
                                 "X () ; [ Vuni-Other ]\nR () ; [ Vuni-MyPack ]\nEndScript\n\n");
}

} // namespace
} // namespace vuni
