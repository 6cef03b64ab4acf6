#pragma once

#include "app/korvanta_dlg.h"
#include "profiles/connect_profile_data.h"
#include "tests/app/modal_run.h"
#include "tests/app/qstring_print.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/support/temp_folder.h"

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// An environment variable set for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(std::string name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string saved_;
    bool hadValue_ = false;
};

// A message box as the user saw it.
struct ShownBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
};

// Answers every message box with OK while it lives, noting what each said.
// For runs that take longer than a modal wait allows.
class MessageBoxLog
{
public:
    MessageBoxLog();
    const std::vector<ShownBox>& Boxes() const { return boxes_; }

private:
    std::vector<ShownBox> boxes_;
    Ticker ticker_;
};

// Drags the urls onto widget and drops them there; true when the drop was
// taken.
bool DropUrls(QWidget* widget, const QList<QUrl>& urls);
QUrl FileUrl(const std::filesystem::path& path);

// The main dialog over a fresh profile file and a temporary-files folder of
// its own, with its controls by name and the user's usual steps.
class MainDialogTest : public testing::Test
{
protected:
    void TearDown() override;

    // Seeds the profile file, then opens the dialog as the program does.
    void Open(const std::vector<ConnectProfileData>& seed = {});

    QLineEdit* Source() const;
    QLineEdit* LocalFolder() const;
    QRadioButton* LocalPc() const;
    QRadioButton* Server() const;
    QComboBox* Destinations() const;
    QPushButton* Button(const char* id) const;
    bool Enabled(const char* id) const;

    // Picks a path in the file or folder chooser that the button opens.
    void ChooseWith(const char* browseButton, const std::filesystem::path& path);
    void ChooseLocalFolder(const std::filesystem::path& folder) { ChooseWith("1016", folder); }
    void ChooseSourceFile(const std::filesystem::path& file) { ChooseWith("1049", file); }
    void TypeSource(const QString& text);
    // Clicks a radio button on its circle; the rest of its row takes no click.
    void Choose(QRadioButton* radio);

    // Presses the button and expects the error box with string textId.
    void ExpectRefusal(const char* button, int textId);

    TempFolder work;
    ConfigHome home;
    TempFolder temp;
    ScopedEnv tmpdir{"TMPDIR", temp.Path().string()};
    std::unique_ptr<CKorvantaDlg> dialog;
};
