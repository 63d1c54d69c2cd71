#include "CPanelRig.h"
#include "PanelTestSupport.h"

#include "app/CVantrelDlg.h"
#include "device/CHidDeviceFactory.h"
#include "panels/CPanelTemplate.h"
#include "sim/CSimReaderSet.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// The main dialog over simulated readers of each type, each recording what reaches it, plus
// an interface of no known type and one that cannot be opened.
class PanelSwitch : public ::testing::Test {
protected:
    PanelSwitch() {
        std::vector<CSimReaderDefinition> readers;
        for (DeviceType type : {DeviceType::Quorin, DeviceType::HidPos, DeviceType::SurePos,
                                DeviceType::SurePosSio}) {
            recorders[type] = std::make_shared<CRigReader>();
            readers.push_back(RigReaderDefinition(type, recorders[type],
                                                  std::string("sim:/") + DeviceTypeName(type)));
        }
        for (const CSimReaderDefinition& reader : CSimReaderSet::Default()) {
            if (reader.path == "sim:/service")
                readers.push_back(reader);
        }
        CSimReaderDefinition locked = readers[1];
        locked.path = "sim:/locked";
        locked.serial = "LOCKED";
        locked.accessDenied = true;
        readers.push_back(locked);
        platform = std::make_unique<CSimPlatform>(readers);
    }
    ~PanelSwitch() override {
        dialog.reset();
        platform.reset();
    }

    void StartDialog() {
        dialog = std::make_unique<CVantrelDlg>(store, *platform, &CreateHidDevice);
    }

    // Selects the reader whose name holds `part` and opens it, as closing the list does.
    void Select(const QString& part) {
        auto* list = dialog->ControlAs<QComboBox>(1002);
        const int index = list->findText(part, Qt::MatchContains);
        ASSERT_GE(index, 0) << part.toStdString();
        list->setCurrentIndex(index);
        dialog->OpenSelectedDevice();
    }
    CRigReader& Recorder(DeviceType type) { return *recorders[type]; }

    CMemorySettingsStore store;
    std::map<DeviceType, std::shared_ptr<CRigReader>> recorders;
    std::unique_ptr<CSimPlatform> platform;
    std::unique_ptr<CVantrelDlg> dialog;
};

TEST_F(PanelSwitch, EachReaderGetsItsPanelOverThePlaceholder) {
    StartDialog();
    const struct {
        const char* name;
        int templateId;
    } cases[] = {{"Panel rig Quorin", 130},
                 {"Panel rig Hid Pos - R1", 131},
                 {"Panel rig SurePos - ", 129},
                 {"Panel rig SurePos Sio", 132},
                 {"LOCKED", 133}};
    for (const auto& c : cases) {
        Select(c.name);
        CDevicePanel* panel = dialog->CurrentPanel();
        ASSERT_NE(panel, nullptr) << c.name;
        EXPECT_EQ(panel->TemplateId(), c.templateId) << c.name;
        EXPECT_EQ(panel->parentWidget(), dialog.get());
        EXPECT_EQ(panel->geometry(), dialog->Control(1043)->geometry()) << c.name;
        EXPECT_FALSE(panel->isHidden());
    }
    EXPECT_EQ(dialog->CurrentPanel()->findChild<QLabel*>()->text(),
              "This window shows device specific controls.\nThere is no device selected.");

    // An interface of no known type: neither a device object nor a panel.
    Select("Service Port");
    EXPECT_EQ(dialog->CurrentDevice(), nullptr);
    EXPECT_EQ(dialog->CurrentPanel(), nullptr);
}

TEST_F(PanelSwitch, PanelsAreLaidOutInTheMainDialogsUnitsAndFillThePlaceholder) {
    StartDialog();
    dialog->show();
    const CDialogUnits units = CDialogUnits::ForTemplate(CVantrelDlg::Template(), *dialog);
    const struct {
        const char* name;
        int templateId;
    } cases[] = {{"Panel rig Quorin", 130},
                 {"Panel rig Hid Pos - R1", 131},
                 {"Panel rig SurePos - ", 129},
                 {"Panel rig SurePos Sio", 132},
                 {"LOCKED", 133}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Select(c.name);
        CDevicePanel* panel = dialog->CurrentPanel();
        ASSERT_NE(panel, nullptr);
        const CDialogTemplate* dialogTemplate = CPanelTemplate::Find(c.templateId);
        ASSERT_NE(dialogTemplate, nullptr);
        for (const CControlTemplate& control : dialogTemplate->controls) {
            QWidget* widget = panel->Control(control.id);
            if (!widget)
                continue;
            const QRect expected = units.ToPixels(control.x, control.y, control.cx, control.cy)
                                       .translated(dialogTemplate->edge, dialogTemplate->edge);
            // A drop-down combo box keeps its own height.
            EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft()) << control.id;
            EXPECT_EQ(widget->width(), expected.width()) << control.id;
        }
    }
    // The notice, 298 of the 306 units wide, sits in the middle of the placeholder.
    auto* notice = dialog->CurrentPanel()->findChild<QLabel*>();
    ASSERT_NE(notice, nullptr);
    const int middle = dialog->Control(1043)->width() / 2;
    EXPECT_NEAR(notice->geometry().center().x(), middle, 1);
}

TEST_F(PanelSwitch, HistoryIsSavedAtEverySwitchAndShownByTheNextPanel) {
    StartDialog();
    Select("Panel rig Quorin");
    CDevicePanel* quorin = dialog->CurrentPanel();
    TypeText(*quorin, "switched");
    Click(*quorin, 1039);
    EXPECT_FALSE(store.Has("Strings", "file002"));

    Select("LOCKED");
    EXPECT_EQ(store.GetProfileString("Strings", "file002", ""), "switched");
    Select("Panel rig SurePos Sio");
    EXPECT_EQ(ComboOf(*dialog->CurrentPanel())->currentText(), "switched");
}

TEST_F(PanelSwitch, StoredFlagsAreLoadedBeforeThePanelStarts) {
    store.WriteProfileInt("Settings", "StressAutoDisable", 1);
    store.WriteProfileInt("Settings", "RawOnly", 1);
    StartDialog();
    Select("Panel rig SurePos - ");
    EXPECT_TRUE(ButtonOf(*dialog->CurrentPanel(), 1048)->isChecked());
    Select("Panel rig SurePos Sio");
    EXPECT_TRUE(ButtonOf(*dialog->CurrentPanel(), 1029)->isChecked());
    EXPECT_FALSE(ButtonOf(*dialog->CurrentPanel(), 1026)->isChecked());
}

TEST_F(PanelSwitch, AScanReleasesTheTriggerWithoutSendingAndExitUntriggersOnlyWhenSet) {
    for (int triggerOffAtExit : {0, 1}) {
        store.WriteProfileInt("Settings", "TriggerOffAtExit", triggerOffAtExit);
        StartDialog();
        dialog->show();
        Select("Panel rig Hid Pos - R1");
        CDevicePanel* panel = dialog->CurrentPanel();
        Recorder(DeviceType::HidPos).ClearWrites();
        Click(*panel, 1012);
        EXPECT_TRUE(ButtonOf(*panel, 1012)->isChecked());

        // The simulated reader scans a moment after the trigger; its report pops the button up.
        ASSERT_TRUE(ProcessUntil([&] { return panel->TriggerState() == 0; }, 5000));
        EXPECT_FALSE(ButtonOf(*panel, 1012)->isChecked());
        const std::vector<CReport> afterScan = Recorder(DeviceType::HidPos).Writes();
        ASSERT_EQ(afterScan.size(), 1u);
        EXPECT_EQ(afterScan[0][1], 0x04) << "only TriggerOn went out";

        Click(*panel, 1012);
        dialog->close();
        dialog.reset();
        const size_t expected = 2u + static_cast<size_t>(triggerOffAtExit);
        ProcessUntil([&] { return Recorder(DeviceType::HidPos).WriteCount() >= expected; }, 2000);
        const std::vector<CReport> writes = Recorder(DeviceType::HidPos).Writes();
        ASSERT_EQ(writes.size(), expected) << triggerOffAtExit;
        EXPECT_EQ(writes[1][1], 0x04);
        if (triggerOffAtExit) {
            EXPECT_EQ(writes[2][0], 0x04);
            EXPECT_EQ(writes[2][1], 0x00);
        }
    }
}

} // namespace
