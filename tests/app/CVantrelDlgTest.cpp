// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelDlg.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"
#include "support/gui/WaitFor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A device object that records what the dialog asks of it.
class CProbeDevice : public CHidDevice {
public:
    struct CLog {
        int created = 0;
        int destroyed = 0;
        int triggerOffs = 0;
        int loads = 0;
        std::vector<std::vector<uint8_t>> reports;
        std::function<void(CProbeDevice&)> onReport;
    };

    CProbeDevice(CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                 CNotifier& notifier, DeviceType type, CLog& log)
        : CHidDevice(port, output, settings, notifier), m_type(type), m_log(log) {
        ++m_log.created;
    }
    ~CProbeDevice() override { ++m_log.destroyed; }

    DeviceType Type() const override { return m_type; }
    int32_t RedirectToInterface(int) override { return 0; }
    int32_t TriggerOn() override { return 0; }
    int32_t TriggerOff() override {
        ++m_log.triggerOffs;
        return 1;
    }
    int32_t Disable() override { return 0; }
    int32_t Enable() override { return 0; }
    int32_t Beep() override { return 0; }
    int32_t ErrorBeep() override { return 0; }
    int32_t SendData(const uint8_t*, size_t) override { return 0; }
    void LoadSettings(const std::string& section) override {
        ++m_log.loads;
        CHidDevice::LoadSettings(section);
    }
    int32_t OnReport(const uint8_t* report, size_t length) override {
        m_log.reports.emplace_back(report, report + length);
        if (m_log.onReport) {
            m_log.onReport(*this);
        }
        return 1;
    }
    int32_t DecodeReport(const uint8_t*, size_t) override { return 1; }

private:
    DeviceType m_type;
    CLog& m_log;
};

CSimReaderDefinition Reader(const std::string& path, uint16_t productId, uint16_t version,
                            const std::string& serial, std::vector<uint8_t> descriptor) {
    CSimReaderDefinition reader;
    reader.path = path;
    reader.attributes = CHidAttributes{0x1209, productId, version};
    reader.product = "Test Reader";
    reader.serial = serial;
    reader.reportDescriptor = std::move(descriptor);
    return reader;
}

class CVantrelDlgTest : public ::testing::Test {
protected:
    void Start(std::vector<CSimReaderDefinition> readers) {
        platform = std::make_unique<CSimPlatform>(std::move(readers));
        MakeDialog();
    }
    void MakeDialog() {
        dialog = std::make_unique<CVantrelDlg>(
            store, *platform,
            [this](DeviceType type, CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                   CNotifier& notifier) -> std::unique_ptr<CHidDevice> {
                if (type == DeviceType::None) {
                    return nullptr;
                }
                return std::make_unique<CProbeDevice>(port, output, settings, notifier, type, log);
            });
    }
    QComboBox& List() { return *dialog->ControlAs<QComboBox>(1002); }
    QString Status() { return dialog->ControlAs<QLineEdit>(1004)->text(); }
    // Display names as the port lists them.
    std::vector<std::string> Names() {
        CQueuedPoster poster;
        CReaderPort port(*platform, poster);
        CPlainDeviceList list;
        port.Enumerate(&list, "", true);
        return list.Items();
    }

    CMemorySettingsStore store;
    CProbeDevice::CLog log;
    std::unique_ptr<CSimPlatform> platform;
    std::unique_ptr<CVantrelDlg> dialog;
};

TEST_F(CVantrelDlgTest, StartWithoutReadersSaysDeviceCouldNotOpened) {
    Start({});
    EXPECT_EQ(List().count(), 0);
    EXPECT_EQ(Status(), "Device could not opened");
    EXPECT_EQ(dialog->CurrentDevice(), nullptr);
    EXPECT_FALSE(dialog->Port().IsOpen());
}

TEST_F(CVantrelDlgTest, StoredDeviceIsSelectedOpenedAndShowsItsFirmwareLine) {
    std::vector<CSimReaderDefinition> readers = {
        Reader("sim:/a", 0x0001, 0x0203, "A1", CSimReaderSet::HidPosDescriptor()),
        Reader("sim:/b", 0x0005, 0x0107, "B2", CSimReaderSet::SurePosDescriptor(0x4B00))};
    platform = std::make_unique<CSimPlatform>(readers);
    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 2u);
    const std::string sure = names[0].find("B2") != std::string::npos ? names[0] : names[1];
    store.WriteProfileString("Settings", "DeviceName", sure);
    Start(readers);
    EXPECT_EQ(List().currentText().toStdString(), sure);
    EXPECT_TRUE(dialog->Port().IsOpen());
    EXPECT_EQ(Status(), "Firmware V107, VID=1209, PID=0005, UsagePage=FF45, Usage=4B00");
    ASSERT_NE(dialog->CurrentDevice(), nullptr);
    EXPECT_EQ(dialog->CurrentDevice()->Type(), DeviceType::SurePos);
    EXPECT_EQ(log.loads, 1);
}

TEST_F(CVantrelDlgTest, AnOpenedReaderIsStoredAndReportsReachItsDevice) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor())});
    const std::string name = List().currentText().toStdString();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(store.GetProfileString("Settings", "DeviceName", ""), name);
    const std::vector<uint8_t> report = {0x02, 3, ']', 'E', '0', 'A', 'B', 'C'};
    ASSERT_TRUE(platform->InjectInputReport("sim:/a", report));
    ASSERT_TRUE(WaitFor([&] { return !log.reports.empty(); }));
    EXPECT_EQ(std::vector<uint8_t>(log.reports[0].begin(), log.reports[0].begin() + 8), report);
}

TEST_F(CVantrelDlgTest, ADeviceChangeWhileADeviceHandlesAReportWaitsForIt) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor())});
    ASSERT_EQ(log.created, 1);
    // As when a device shows a message box and its event loop delivers a device change.
    bool replacedDuringReport = true;
    log.onReport = [&](CProbeDevice& device) {
        List().clear();
        dialog->OnDeviceChange();
        replacedDuringReport = dialog->CurrentDevice() != &device || log.destroyed != 0;
    };
    ASSERT_TRUE(platform->InjectInputReport("sim:/a", {0x02, 1, ']', 'C', '0', 'A'}));
    ASSERT_TRUE(WaitFor([&] { return log.created == 2; }));
    EXPECT_FALSE(replacedDuringReport);
    EXPECT_EQ(List().count(), 1);
    EXPECT_TRUE(dialog->Port().IsOpen());
}

TEST_F(CVantrelDlgTest, AboutShowsTheAboutBoxModally) {
    Start({});
    dialog->show();
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* about = QApplication::activeModalWidget();
        ASSERT_NE(about, nullptr);
        title = about->windowTitle();
        about->close();
    });
    QTest::mouseClick(dialog->ControlAs<QPushButton>(1006), Qt::LeftButton);
    EXPECT_EQ(title, "About");
}

TEST_F(CVantrelDlgTest, PreferencesApplyTheFontAtOnceAndAreStoredOnDestruction) {
    Start({});
    dialog->show();
    const auto runPreferences = [&](const char* size, int endId) {
        QTimer::singleShot(0, [&, size, endId] {
            QWidget* prefs = QApplication::activeModalWidget();
            ASSERT_NE(prefs, nullptr);
            EXPECT_EQ(prefs->windowTitle(), "Preferences Dialog");
            auto* edit = prefs->findChild<QWidget*>("1024")->findChild<QLineEdit*>();
            edit->selectAll();
            QTest::keyClicks(edit, size);
            QTest::mouseClick(prefs->findChild<QCheckBox*>("1021"), Qt::LeftButton);
            QTest::mouseClick(prefs->findChild<QPushButton*>(QString::number(endId)),
                              Qt::LeftButton);
        });
        QTest::mouseClick(dialog->ControlAs<QPushButton>(1016), Qt::LeftButton);
    };

    runPreferences("16", 2); // Cancel
    EXPECT_EQ(dialog->DisplaySettings().m_fontPoints, 100);
    EXPECT_EQ(dialog->DisplaySettings().m_triggerOffAtExit, 0);
    EXPECT_EQ(dialog->OutputWindow().font().pointSizeF(), 10.0);

    runPreferences("16", 1); // OK
    EXPECT_EQ(dialog->DisplaySettings().m_fontPoints, 160);
    EXPECT_EQ(dialog->DisplaySettings().m_triggerOffAtExit, 1);
    EXPECT_TRUE(dialog->DisplaySettings().m_fontChanged);
    EXPECT_EQ(dialog->OutputWindow().font().pointSizeF(), 16.0);

    dialog.reset();
    EXPECT_EQ(store.GetProfileInt("Settings", "FontPoints", 0), 160);
    EXPECT_EQ(store.GetProfileInt("Settings", "TriggerOffAtExit", 0), 1);
}

TEST_F(CVantrelDlgTest, ClosingTheListUnchangedReopensAndRecreatesTheDevice) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor())});
    ASSERT_EQ(log.created, 1);
    const QString name = List().currentText();
    dialog->show();
    List().showPopup();
    QTest::keyClick(static_cast<QWidget*>(List().view()), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return log.created == 2; }));
    EXPECT_EQ(log.destroyed, 1);
    EXPECT_EQ(List().currentText(), name);
    EXPECT_TRUE(dialog->Port().IsOpen());
}

TEST_F(CVantrelDlgTest, KeyboardSelectionInTheClosedListOpensThatReader) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor()),
           Reader("sim:/b", 0x0002, 0x0200, "B1", CSimReaderSet::QuorinDescriptor())});
    ASSERT_EQ(List().count(), 2);
    ASSERT_EQ(log.created, 1);
    dialog->show();
    List().setFocus();
    const int first = List().currentIndex();
    QTest::keyClick(&List(), first == 0 ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_NE(List().currentIndex(), first);
    const QString shown = List().currentText();
    ASSERT_TRUE(WaitFor([&] { return log.created == 2; }));
    EXPECT_EQ(store.GetProfileString("Settings", "DeviceName", ""), shown.toStdString());
    const bool quorin = shown.contains("B1");
    EXPECT_EQ(dialog->CurrentDevice()->Type(), quorin ? DeviceType::Quorin : DeviceType::HidPos);
    EXPECT_TRUE(Status().startsWith(quorin ? "Firmware V200" : "Firmware V100"))
        << Status().toStdString();

    // Choosing from the dropped list opens once, by the close-up alone.
    List().showPopup();
    QTest::keyClick(List().view(), List().currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(List().view(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return log.created == 3; }));
    EXPECT_NE(List().currentText(), shown);
    QTest::qWait(50);
    EXPECT_EQ(log.created, 3);

    // A selection the program makes (listing anew) opens nothing by itself.
    List().setCurrentIndex(List().currentIndex() == 0 ? 1 : 0);
    QTest::qWait(50);
    EXPECT_EQ(log.created, 3);
}

TEST_F(CVantrelDlgTest, UnplugEmptiesTheListAndTheNextDeviceChangeOpensAgain) {
    Start({Reader("sim:/a", 0x0001, 0x0102, "A1", CSimReaderSet::HidPosDescriptor())});
    CHidDevice* device = dialog->CurrentDevice();
    ASSERT_NE(device, nullptr);
    QStringList statusTexts;
    QObject::connect(dialog->ControlAs<QLineEdit>(1004), &QLineEdit::textChanged,
                     [&](const QString& text) { statusTexts << text; });
    ASSERT_TRUE(platform->Unplug("sim:/a"));
    // The read error shows the system's text and empties the list; the removal notice that
    // comes before or after it opens nothing.
    const QString noDevice = QString::fromLocal8Bit(std::strerror(ENODEV));
    ASSERT_TRUE(WaitFor([&] { return statusTexts.contains(noDevice); }));
    QTest::qWait(100);
    EXPECT_EQ(statusTexts, QStringList{noDevice});
    EXPECT_EQ(List().count(), 0);
    EXPECT_FALSE(dialog->Port().IsOpen());
    // The device object stays until the next successful open.
    EXPECT_EQ(dialog->CurrentDevice(), device);
    EXPECT_EQ(log.created, 1);

    ASSERT_TRUE(platform->Plug("sim:/a"));
    ASSERT_TRUE(WaitFor([&] { return dialog->Port().IsOpen(); }));
    EXPECT_EQ(List().count(), 1);
    EXPECT_EQ(Status(), "Firmware V102, VID=1209, PID=0001, UsagePage=008C, Usage=0002");
    EXPECT_EQ(log.created, 2);
}

TEST_F(CVantrelDlgTest, DeviceChangeWithAListChangesNothing) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor()),
           Reader("sim:/b", 0x0002, 0x0100, "B1", CSimReaderSet::QuorinDescriptor())});
    ASSERT_EQ(List().count(), 2);
    const QString opened = List().currentText();
    const std::string other = opened.contains("A1") ? "sim:/b" : "sim:/a";
    ASSERT_TRUE(platform->Unplug(other));
    QTest::qWait(100);
    ASSERT_TRUE(platform->Plug(other));
    QTest::qWait(100);
    EXPECT_EQ(List().count(), 2);
    EXPECT_EQ(List().currentText(), opened);
    EXPECT_EQ(log.created, 1);
    EXPECT_TRUE(dialog->Port().IsOpen());
}

TEST_F(CVantrelDlgTest, DropDownListsAnewKeepingTheSelection) {
    platform = std::make_unique<CSimPlatform>(std::vector<CSimReaderDefinition>{
        Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor()),
        Reader("sim:/z", 0x0002, 0x0100, "Z1", CSimReaderSet::QuorinDescriptor())});
    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 2u);
    store.WriteProfileString("Settings", "DeviceName", names[0]);
    ASSERT_TRUE(platform->Unplug("sim:/z"));
    MakeDialog();
    ASSERT_EQ(List().count(), 1);
    ASSERT_TRUE(platform->Plug("sim:/z"));
    QTest::qWait(50);
    ASSERT_EQ(List().count(), 1);
    dialog->show();
    List().showPopup();
    EXPECT_EQ(List().count(), 2);
    EXPECT_EQ(List().currentText().toStdString(), names[0]);
    List().hidePopup();
}

TEST_F(CVantrelDlgTest, TriggerOffAtExitOnExitCloseBoxAndDropDown) {
    store.WriteProfileInt("Settings", "TriggerOffAtExit", 1);
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor())});
    dialog->show();
    List().showPopup();
    EXPECT_EQ(log.triggerOffs, 1);
    List().hidePopup();
    WaitFor([&] { return log.created == 2; });

    QTest::mouseClick(dialog->ControlAs<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(log.triggerOffs, 2);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    dialog->show();
    dialog->close();
    EXPECT_EQ(log.triggerOffs, 3);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(CVantrelDlgTest, WithoutTheOptionNothingIsUntriggered) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor())});
    dialog->show();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(log.triggerOffs, 0);
}

TEST_F(CVantrelDlgTest, AccessDeniedNamesTheReaderAndTheUdevRule) {
    CSimReaderDefinition reader =
        Reader("sim:/locked", 0x0001, 0x0100, "L1", CSimReaderSet::HidPosDescriptor());
    reader.accessDenied = true;
    Start({reader});
    const QString name = List().currentText();
    ASSERT_FALSE(name.isEmpty());
    EXPECT_TRUE(Status().startsWith(name + " could not opened")) << Status().toStdString();
    EXPECT_TRUE(Status().contains("access denied"));
    EXPECT_TRUE(Status().contains("udev rule"));
}

TEST_F(CVantrelDlgTest, CheckBoxesFollowTheSettingsAndBindAtOnce) {
    store.WriteProfileInt("Settings", "ShowOutput", 1);
    Start({});
    auto* raw = dialog->ControlAs<QCheckBox>(1021);
    auto* out = dialog->ControlAs<QCheckBox>(1038);
    auto* symbology = dialog->ControlAs<QCheckBox>(1023);
    EXPECT_FALSE(raw->isChecked());
    EXPECT_TRUE(out->isChecked());
    EXPECT_FALSE(symbology->isChecked());
    dialog->show();
    QTest::mouseClick(raw, Qt::LeftButton);
    QTest::mouseClick(symbology, Qt::LeftButton);
    QTest::mouseClick(out, Qt::LeftButton);
    EXPECT_EQ(dialog->DisplaySettings().m_showRaw, 1);
    EXPECT_EQ(dialog->DisplaySettings().m_showSymbology, 1);
    EXPECT_EQ(dialog->DisplaySettings().m_showOutput, 0);
    // Check boxes alone never write the store.
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 0), 0);
}

TEST_F(CVantrelDlgTest, DestructionStoresPlacementAndDisplaySettingsWithoutDevice) {
    Start({});
    dialog->DisplaySettings().m_showRaw = 1;
    dialog->setGeometry(40, 50, dialog->width() + 20, dialog->height() + 10);
    const QRect rect = dialog->geometry();
    store.ClearWrites();
    dialog.reset();
    ASSERT_FALSE(store.Writes().empty());
    EXPECT_EQ(store.Writes()[0].section, "DlgSize");
    EXPECT_EQ(store.GetProfileString("DlgSize", "WindowPlacement", ""),
              QStringLiteral("%1,%2,%3,%4,1,0")
                  .arg(rect.x())
                  .arg(rect.y())
                  .arg(rect.x() + rect.width())
                  .arg(rect.y() + rect.height())
                  .toStdString());
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowRaw", 0), 1);
}

TEST_F(CVantrelDlgTest, DestructionLetsTheDeviceStoreTheSettings) {
    Start({Reader("sim:/a", 0x0001, 0x0100, "A1", CSimReaderSet::HidPosDescriptor())});
    dialog->DisplaySettings().m_showSymbology = 1;
    dialog.reset();
    EXPECT_EQ(log.destroyed, 1);
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowSymbology", 0), 1);
}

TEST_F(CVantrelDlgTest, ControlsCaptionsAndTemplatePositions) {
    Start({});
    EXPECT_EQ(dialog->windowTitle(), "Vantrel");
    EXPECT_FALSE(dialog->windowIcon().pixmap(32, 32).isNull());
    const CDialogUnits units = CDialogUnits::ForTemplate(CVantrelDlg::Template(), *dialog);
    EXPECT_GE(units.BaseX(), CDialogUnits::FromFont(dialog->font()).BaseX());
    EXPECT_EQ(dialog->size(), QSize(units.ToPixelsX(320), units.ToPixelsY(236)));
    const struct {
        int id;
        const char* text;
    } buttons[] = {{1016, "Preferences"}, {1010, "Clear Output"}, {1006, "About"}, {1, "Exit"}};
    for (const auto& button : buttons) {
        auto* widget = dialog->ControlAs<QPushButton>(button.id);
        ASSERT_TRUE(widget) << button.id;
        EXPECT_EQ(widget->text(), button.text);
        const CControlTemplate* entry =
            CDialogBuilder::FindControl(CVantrelDlg::Template(), button.id);
        EXPECT_EQ(widget->geometry(), units.ToPixels(entry->x, entry->y, entry->cx, entry->cy));
    }
    EXPECT_TRUE(dialog->ControlAs<QPushButton>(1)->isDefault());
    EXPECT_TRUE(dialog->ControlAs<QPushButton>(1016)->isEnabled());
    EXPECT_TRUE(dialog->ControlAs<QLineEdit>(1004)->isReadOnly());
    EXPECT_TRUE(dialog->Control(1043)->isHidden());
    EXPECT_EQ(dialog->ControlAs<QCheckBox>(1021)->text(), "Add raw data");
    EXPECT_EQ(dialog->ControlAs<QCheckBox>(1038)->text(), "Add Out data");
    EXPECT_EQ(dialog->ControlAs<QCheckBox>(1023)->text(), "Add Symbology");
    // Every caption fits its control in the font the dialog shows.
    for (int id : {1021, 1038, 1023, 1016, 1010, 1006, 1}) {
        auto* button = dialog->ControlAs<QAbstractButton>(id);
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width()) << id;
    }
    EXPECT_EQ(dialog->Control(1020), &dialog->OutputWindow());
    EXPECT_EQ(dialog->Control(1020)->geometry(), units.ToPixels(7, 138, 306, 91));
}

TEST_F(CVantrelDlgTest, ResizingGrowsOnlyTheOutputWindowAndKeepsTheMinimum) {
    Start({});
    dialog->show();
    QCoreApplication::processEvents();
    std::map<QString, QRect> before;
    for (QWidget* child : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->objectName().isEmpty()) {
            before[child->objectName()] = child->geometry();
        }
    }
    const QSize designed = dialog->size();
    dialog->resize(designed + QSize(120, 80));
    QCoreApplication::processEvents();
    for (const auto& [name, rect] : before) {
        const QRect now = dialog->findChild<QWidget*>(name)->geometry();
        if (name == "1020") {
            EXPECT_EQ(now, rect.adjusted(0, 0, 120, 80));
        } else if (name == "SizeGrip") {
            EXPECT_EQ(now, rect.translated(120, 80));
        } else {
            EXPECT_EQ(now, rect) << name.toStdString();
        }
    }
    dialog->resize(designed - QSize(50, 50));
    EXPECT_EQ(dialog->size(), designed);
}

TEST_F(CVantrelDlgTest, ClearOutputEmptiesTheOutputWindow) {
    Start({});
    dialog->OutputWindow().AppendText("Some text", OutputRole::Default, false);
    dialog->show();
    QTest::mouseClick(dialog->ControlAs<QPushButton>(1010), Qt::LeftButton);
    dialog->OutputWindow().FlushOutput();
    EXPECT_TRUE(dialog->OutputWindow().toPlainText().isEmpty());
}

} // namespace
