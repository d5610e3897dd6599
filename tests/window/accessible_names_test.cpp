// The names the window gives its controls for assistive tools, natively: the spoken form of a
// label (in UTF-16 too), and the labels that name the drop-down lists and the file list.
#include "wizard/controls.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vuni::ctl {
namespace {

std::string SpokenLabel(std::string text) {
    text.resize(SpeakLabel(text.data(), text.size()));
    return text;
}

TEST(AccessibleNames, LabelIsSpokenWithoutMnemonicMarkOrTrailingBlanksAndColons) {
    EXPECT_EQ(SpokenLabel("&Suivant"), "Suivant");
    EXPECT_EQ(SpokenLabel("&Précédent"), "Précédent");
    EXPECT_EQ(SpokenLabel("Sélectioner une action à réaliser : "),
              "Sélectioner une action à réaliser");
    EXPECT_EQ(SpokenLabel("Sélectionner un groupe de fichier script pour :"),
              "Sélectionner un groupe de fichier script pour");
    EXPECT_EQ(SpokenLabel("Alias "), "Alias");
    // A doubled mark is a shown "&"; a mark at the very end marks nothing.
    EXPECT_EQ(SpokenLabel("Dupont && fils&"), "Dupont & fils");
    // Colons and blanks inside the text stay; a label of nothing but them says nothing.
    EXPECT_EQ(SpokenLabel("Groupe : Jaws 2020, à installer"), "Groupe : Jaws 2020, à installer");
    EXPECT_EQ(SpokenLabel(" : "), "");
    EXPECT_EQ(SpokenLabel(""), "");
    // The window's names are UTF-16.
    std::u16string wide = u"&Journal : ";
    wide.resize(SpeakLabel(wide.data(), wide.size()));
    EXPECT_EQ(wide, u"Journal");
}

// Where the system has no service to name a control, it takes the static text made just
// before it on the same page: each named control's label must be exactly there.
TEST(AccessibleNames, EachNamedControlComesRightAfterItsLabelOnTheSamePage) {
    const auto table = ControlTable();
    for (const LabelledControl& pair : kLabelledControls) {
        const auto control = std::find_if(table.begin(), table.end(), [&](const ControlSpec& c) {
            return c.number == pair.control;
        });
        ASSERT_NE(control, table.end()) << pair.control;
        ASSERT_NE(control, table.begin()) << pair.control;
        const ControlSpec& label = *(control - 1);
        EXPECT_EQ(label.number, pair.label) << "before control " << pair.control;
        EXPECT_EQ(label.parent, control->parent) << pair.control;
        EXPECT_EQ(label.type, ControlType::StaticLeft) << pair.label;
    }
}

} // namespace
} // namespace vuni::ctl
