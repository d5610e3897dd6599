// A wizard on a simulated machine: a real installer file read by LoadPackage, a destination
// folder list made by hand, and the headless view acting as the window.
#pragma once

#include "log/log.h"
#include "package/package.h"
#include "platform/sim/sim_host.h"
#include "testing/package_builder.h"
#include "testing/temp_dir.h"
#include "wizard/controls.h"
#include "headless/headless_view.h"
#include "wizard/wizard.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vuni::testing {

// Two user folders (10.0 with French and English, 11.0 with English only), the shared
// folder of 11.0, and the free folder.
std::vector<SettingsFolder> SampleFolders();

// Entries for several groups: group 0 ("10"), group 1 ("11.0") and the intro sound.
TestPackage MultiGroupPackage();

class WizardFixture : public ::testing::Test {
protected:
    // Writes the installer, reads it, and starts the wizard on the Welcome page.
    void Launch(const TestPackage& package, std::string runningVersion = "");

    // Shortcuts for walking the wizard.
    bool Next() { return view.Press(ctl::kNextButton); }
    bool Previous() { return view.Press(ctl::kPreviousButton); }
    // From Welcome to the Files page choosing an operation label and a folder label.
    void WalkToFiles(const std::string& operation, const std::string& folder);
    std::vector<std::string> RowTexts() const;
    std::vector<bool> RowChecks() const;
    uint32_t VisibleButtons() const;

    TempDir dir;
    SimHost host{dir.Path()};
    HeadlessView view;
    Log log{view.LogBox(), view.ProgressBox()};
    PackageState package;
    std::vector<SettingsFolder> folders = SampleFolders();
    std::string runningJaws;
    WizardState state;
    WizardServices services;
    std::unique_ptr<Wizard> wizard;
};

} // namespace vuni::testing
