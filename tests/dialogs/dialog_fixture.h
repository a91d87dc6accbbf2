#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QComboBox>

#include "core/keycore.h"
#include "dialogs/ini.h"
#include "dialogs/key.h"
#include "offscreen_app.h"
#include "keymap/ini_profile_store.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "support/recording_injector.h"
#include "support/unit_ids.h"
#include "translate/keygate.h"
#include "translate/unitstate.h"
#include "translate/us_layout.h"

namespace qel::test {

// The key settings and key capture dialogs over an in-memory keymap.ini, names and
// bindings read as at start-up.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApplication();
        Core =
            std::make_unique<KeyCore>(KeyMapLocation{"keymap.ini"}, Store, Layout, Keys, Log, Gate);
        KeyForm = std::make_unique<TKeyForm>();
        IniForm = std::make_unique<TIniForm>(*Core, *KeyForm);
        ASSERT_TRUE(IniForm->IniFileName().has_value());
        Core->ReadBindings();
    }

    [[nodiscard]] std::string FileText() {
        const auto file = Files.Files.find(*IniForm->IniFileName());
        return file == Files.Files.end() ? std::string{} : file->second;
    }

    // Chooses a unit in the selector as the user does.
    // The selector lists the units by device index.
    void ChooseUnit(UnitId unit) {
        IniForm->DeviceCB()->setCurrentIndex(unit.DeviceIndex());
        emit IniForm->DeviceCB()->activated(unit.DeviceIndex());
    }

    MemoryFileAccess Files;
    IniProfileStore Store{Files};
    UsEnglishLayout Layout;
    MemoryLog Log;
    RecordingInjector Keys;
    FlagKeyGate Gate;
    std::unique_ptr<KeyCore> Core;
    const UnitStates& Units() { return Core->Units(); }
    std::unique_ptr<TKeyForm> KeyForm;
    std::unique_ptr<TIniForm> IniForm;
};

}  // namespace qel::test
