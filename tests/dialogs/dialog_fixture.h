#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QComboBox>

#include "dialogs/ini.h"
#include "dialogs/key.h"
#include "dialogs/offscreen_app.h"
#include "keymap/ini_profile_store.h"
#include "keymap/us_layout.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "translate/unitstate.h"

namespace qel::test {

// The key settings and key capture dialogs over an in-memory keymap.ini, names and
// bindings read as at start-up.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApplication();
        IniForm = std::make_unique<TIniForm>(Units, Store, Layout, Log);
        KeyForm = std::make_unique<TKeyForm>(*IniForm);
        ASSERT_TRUE(IniForm->IniFileName().has_value());
        IniForm->KeyMap().ReadAllKeys();
    }

    [[nodiscard]] std::string FileText() {
        const auto file = Files.Files.find(*IniForm->IniFileName());
        return file == Files.Files.end() ? std::string{} : file->second;
    }

    // Chooses a unit in the selector as the user does.
    void ChooseUnit(int deviceIndex) {
        IniForm->DeviceCB->setCurrentIndex(deviceIndex);
        emit IniForm->DeviceCB->activated(deviceIndex);
    }

    MemoryFileAccess Files;
    IniProfileStore Store{Files};
    UsEnglishLayout Layout;
    MemoryLog Log;
    UnitStates Units;
    std::unique_ptr<TIniForm> IniForm;
    std::unique_ptr<TKeyForm> KeyForm;  // destroyed first: it refers to IniForm
};

}  // namespace qel::test
