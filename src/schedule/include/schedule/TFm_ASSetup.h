#pragma once

#include "ui/FixedLayout.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct SettingsRecord;

// Configuration of the auto schedule: interval, folders and prefix. Every
// change goes straight into the settings record it is handed; closing writes
// them to the settings file.
class TFm_ASSetup : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char* LoadFilter = "ZRD wave file (*.)|*.";
    // The name the load dialog offers: any file of a folder picks the folder.
    static constexpr const char* LoadFileName = "*.*";
    static constexpr const char* SaveFilter = "Comma Delimited File (*.csv)|*.csv";
    static constexpr QSize ClientSize{353, 260};
    // The controls at their designed places, each within its own parent (the
    // dialog or a group box). The two labels beside the interval are then
    // sized to their text.
    static constexpr Placement Layout[] = {
        {"GroupBox1", {12, 12, 205, 67}, Anchors::TopLeft, "Auto Backup Time Inerval"},
        {"Label2", {30, 33, 10, 13}, Anchors::TopLeft, "Every"},
        {"Edit1", {90, 27, 64, 24}, Anchors::TopLeft, "0"},
        {"Label1", {159, 33, 10, 13}, Anchors::TopLeft, "Min."},
        {"GroupBox2", {12, 82, 331, 58}, Anchors::TopLeft, "Load From Directory"},
        {"Ed_LoadFromDir", {15, 24, 265, 24}, Anchors::TopLeft},
        {"Btn_SelLoadDir", {283, 23, 38, 25}, Anchors::TopLeft, "..."},
        {"GroupBox3", {11, 145, 332, 60}, Anchors::TopLeft, "Save To Directory"},
        {"Ed_SaveToDir", {15, 24, 265, 24}, Anchors::TopLeft},
        {"Btn_SelSaveDir", {283, 23, 38, 25}, Anchors::TopLeft, "..."},
        {"Button1", {129, 214, 75, 25}, Anchors::TopLeft, "&Ok"},
    };

    TFm_ASSetup(QWidget* owner, SettingsRecord& settings);

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* Ed_LoadFromDir = nullptr;
    QPushButton* Btn_SelLoadDir = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* Ed_SaveToDir = nullptr;
    QPushButton* Btn_SelSaveDir = nullptr;
    QPushButton* Button1 = nullptr;

    void FormShow();
    // Lets only digits and backspace through, and Tab and Shift+Tab on to the
    // next field; true when the key is discarded.
    bool Edit1KeyPress(QKeyEvent* key);
    void Edit1Change();
    void Btn_SelLoadDirClick();
    void Btn_SelSaveDirClick();
    void FormClose();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's steps: the controls at their places, their faces,
    // then the handlers.
    void buildControls();
    void applyFonts();
    void connectControls();

    SettingsRecord& m_settings;
    // The save dialog offers "No Prefix" at first, then the name confirmed last.
    QString m_saveDialogFileName = QStringLiteral("No Prefix");
};
