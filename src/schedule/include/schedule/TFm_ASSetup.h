#pragma once

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
    SettingsRecord& m_settings;
    // The save dialog offers "No Prefix" at first, then the name confirmed last.
    QString m_saveDialogFileName = QStringLiteral("No Prefix");
};
