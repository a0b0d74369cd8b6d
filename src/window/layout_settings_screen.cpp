// The settings screen's layout: the settings entries with their captions and
// units on the left, the fault records on the right, the buttons and the page-read
// progress under both.
#include <QGridLayout>
#include <QHBoxLayout>
#include <string_view>

#include "window/main_window.h"

namespace gasecu::qt {

void MainWindow::layOutSettings() {
    QWidget* screen = w("SettingsSettingsPic");
    auto* grid = new QGridLayout(screen);
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    QFont title = w("Label6")->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    for (const char* name : {"Label6", "Label13", "Label16"}) {
        QFont f = title;
        if (std::string_view(name) != "Label6") f.setPointSizeF(w(name)->font().pointSizeF() * 1.1);
        w(name)->setFont(f);
    }

    // Left: the settings entries.
    int r = 0;
    grid->addWidget(w("Label6"), r++, 0, 1, 4);
    grid->addWidget(w("GeneralSettingsLabelCoil"), r, 0);
    grid->addWidget(w("Coil"), r++, 1);
    grid->addWidget(w("GeneralSettingsLabel1"), r, 0);
    grid->addWidget(w("avas"), r, 1);
    grid->addWidget(w("msavvv"), r++, 2);
    grid->addWidget(w("Label13"), r++, 0, 1, 4);
    // One setting a row: its caption, its box and its unit.
    auto entryRow = [&](const char* caption, const char* box, const char* unit) {
        grid->addWidget(w(caption), r, 0);
        grid->addWidget(w(box), r, 1);
        grid->addWidget(w(unit), r++, 2);
    };
    entryRow("SetPLabelRPM", "SetPTransRPMTextBox", "Label24");
    entryRow("SetPLabelRedTransitionTemp", "SetPTransRedTempTextBox", "Label25");
    grid->addWidget(w("Label16"), r++, 0, 1, 4);
    entryRow("SetLabelPXXPressureTextBox", "SetPXXPressureTextBox", "Label14");
    entryRow("SetLabelPXXPressLeakageTextBox", "SetPXXPressLeakageTextBox", "Label17");
    for (const char* name : {"Coil", "avas", "msavvv", "SetPTransRPMTextBox", "SetPTransRedTempTextBox",
                             "SetPXXPressureTextBox", "SetPXXPressLeakageTextBox"})
        w(name)->setMaximumWidth(110);

    // Right: the fault records.
    int f = 1;
    const char* faults[][3] = {{"Label45", "TroublesGasValveRelayTextBox", nullptr},
                               {"Label46", "TroublesInjMainRelayTextBox", "Label47"},
                               {"Label48", "TroublesPresslowTextBox", "Label49"},
                               {"Label50", "TroublesCRCErrTextBox", nullptr}};
    for (auto& row : faults) {
        grid->addWidget(w(row[0]), f, 5);
        w(row[1])->setMaximumWidth(70);
        grid->addWidget(w(row[1]), f, 6);
        if (row[2]) grid->addWidget(w(row[2]), f, 7);
        ++f;
    }
    grid->setColumnMinimumWidth(4, 60);

    // The buttons under both columns, and the page-read progress.
    auto* buttons = new QHBoxLayout;
    for (const char* name : {"ButonGenel", "ButonTroubles", "ButonErrorClear", "ButonLoadFabricSettings"}) {
        w(name)->setMinimumWidth(150);
        buttons->addWidget(w(name));
    }
    buttons->addStretch(1);
    grid->addLayout(buttons, r++, 0, 1, 8);
    grid->addWidget(w("ProgressBar12"), r++, 0, 1, 8);
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(8, 1);
}

}  // namespace gasecu::qt
