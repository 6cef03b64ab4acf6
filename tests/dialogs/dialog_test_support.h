#pragma once

#include "profiles/connect_profile_data.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QListWidget;

// Runs handler on the next modal dialog of type T once it shows, from the
// event loop that the dialog runs. Fails the test, and closes whatever modal
// dialog is up, when none shows within a few seconds, so a test never hangs.
// The wait ends with the test: see CancelUnansweredModals.
void OnNextModal(const std::function<bool(QWidget*)>& matches,
                 const std::function<void(QWidget*)>& handler);

template <typename T> void OnNextModal(const std::function<void(T*)>& handler)
{
    OnNextModal([](QWidget* widget) { return qobject_cast<T*>(widget) != nullptr; },
                [handler](QWidget* widget) { handler(qobject_cast<T*>(widget)); });
}

// Stops waiting for dialogs that never showed; returns how many. For the
// end of each test, so no wait outlives its test.
int CancelUnansweredModals();

// Expects the settings dialogs' error box with string textId, then presses
// its OK button. The flag turns true once the box was answered.
std::shared_ptr<bool> ExpectErrorBox(int textId);

// String id of the active table, as the dialogs show it.
QString Resource(int id);

// A control of the dialog by its object name; fails the test when missing.
template <typename T> T* Control(const QWidget* dialog, const char* name)
{
    T* control = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!control)
        throw std::runtime_error(std::string("no control ") + name);
    return control;
}

// Clicks a button with the mouse, as the user does.
void Click(QWidget* button);
void ClickRow(QListWidget* list, int row);
// Empties an edit as the user does: select all, then backspace.
void EraseText(QWidget* edit);
// The widget that has the keyboard focus after Tab is pressed in it.
QWidget* TabFrom(QWidget* widget);
// Names of the push buttons that show as the dialog's default (those of
// the dialogs it owns left out).
QStringList DefaultButtons(const QWidget* dialog);

// A realistic destination: FTP for even n, a share for odd n.
ConnectProfileData SampleProfile(const std::string& name, int n = 0);
// Writes the profiles to the profile file through a controller of its own.
void SeedProfiles(const std::vector<ConnectProfileData>& profiles);
