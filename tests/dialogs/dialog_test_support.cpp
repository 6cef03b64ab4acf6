#include "tests/dialogs/dialog_test_support.h"

#include "platform/string_resources.h"
#include "profiles/conn_prof_controller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int kPollMs = 10;
constexpr int kWaitMs = 5000;

std::vector<QPointer<QTimer>>& Waits()
{
    static std::vector<QPointer<QTimer>> waits;
    return waits;
}

void EndWait(QTimer* timer)
{
    timer->stop();
    timer->deleteLater();
    std::erase(Waits(), timer);
}

} // namespace

void OnNextModal(const std::function<bool(QWidget*)>& matches,
                 const std::function<void(QWidget*)>& handler)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(kWaitMs);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->isVisible() && matches(modal);
        if (!found && !deadline.hasExpired())
            return;
        EndWait(timer);
        if (found) {
            handler(modal);
            return;
        }
        ADD_FAILURE() << "the expected dialog did not show";
        if (modal)
            modal->close();
    });
    Waits().push_back(timer);
    timer->start(kPollMs);
}

int CancelUnansweredModals()
{
    const std::vector<QPointer<QTimer>> waits = Waits();
    for (const QPointer<QTimer>& timer : waits)
        if (timer)
            EndWait(timer);
    return static_cast<int>(waits.size());
}

std::shared_ptr<bool> ExpectErrorBox(int textId)
{
    auto answered = std::make_shared<bool>(false);
    OnNextModal<QMessageBox>([=](QMessageBox* box) {
        EXPECT_EQ(Resource(textId), box->text());
        EXPECT_EQ(Resource(102), box->windowTitle());
        EXPECT_EQ(QMessageBox::Critical, box->icon());
        EXPECT_EQ(QMessageBox::Ok, box->standardButtons());
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (ok)
            Click(ok);
        else
            box->close();
        *answered = true;
    });
    return answered;
}

QString Resource(int id)
{
    return QString::fromStdString(platform::LoadResourceString(id).value_or("(missing)"));
}

void Click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void ClickRow(QListWidget* list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void EraseText(QWidget* edit)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
}

QWidget* TabFrom(QWidget* widget)
{
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Tab);
    return QApplication::focusWidget();
}

QStringList DefaultButtons(const QWidget* dialog)
{
    QStringList names;
    for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->window() == dialog && button->isDefault())
            names << button->objectName();
    }
    return names;
}

ConnectProfileData SampleProfile(const std::string& name, int n)
{
    if (n % 2 == 0)
        return {name, "ftp://ftp" + std::to_string(n) + ".example.com/slides/", true,
                "user" + std::to_string(n), "pw " + std::to_string(n)};
    return {name, "\\\\fileserver\\share" + std::to_string(n) + "\\slides", false, "", ""};
}

void SeedProfiles(const std::vector<ConnectProfileData>& profiles)
{
    ConnProfController controller;
    for (const ConnectProfileData& profile : profiles)
        if (!controller.AddConnectProfile(profile))
            throw std::runtime_error("seeding the profile file failed");
}
