#include "tests/main_dialog/main_dialog_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <chrono>
#include <cstdlib>

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str())) {
        saved_ = old;
        hadValue_ = true;
    }
    ::setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (hadValue_)
        ::setenv(name_.c_str(), saved_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

MessageBoxLog::MessageBoxLog()
    : ticker_(std::chrono::milliseconds(10), [this] {
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (!box || !box->isVisible())
              return;
          boxes_.push_back({box->icon(), box->windowTitle(), box->text()});
          if (QAbstractButton* ok = box->button(QMessageBox::Ok))
              Click(ok);
          else
              box->close();
      })
{}

QUrl FileUrl(const std::filesystem::path& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

bool DropUrls(QWidget* widget, const QList<QUrl>& urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint point = widget->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

void MainDialogTest::TearDown()
{
    EXPECT_EQ(0, CancelUnansweredModals()) << "an expected dialog never showed";
    dialog.reset();
}

void MainDialogTest::Open(const std::vector<ConnectProfileData>& seed)
{
    SeedProfiles(seed);
    dialog = std::make_unique<CKorvantaDlg>();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
}

QLineEdit* MainDialogTest::Source() const
{
    return Control<QLineEdit>(dialog.get(), "104");
}

QLineEdit* MainDialogTest::LocalFolder() const
{
    return Control<QLineEdit>(dialog.get(), "1011");
}

QRadioButton* MainDialogTest::LocalPc() const
{
    return Control<QRadioButton>(dialog.get(), "1007");
}

QRadioButton* MainDialogTest::Server() const
{
    return Control<QRadioButton>(dialog.get(), "1008");
}

QComboBox* MainDialogTest::Destinations() const
{
    return Control<QComboBox>(dialog.get(), "1009");
}

QPushButton* MainDialogTest::Button(const char* id) const
{
    return Control<QPushButton>(dialog.get(), id);
}

bool MainDialogTest::Enabled(const char* id) const
{
    return Control<QWidget>(dialog.get(), id)->isEnabled();
}

void MainDialogTest::ChooseWith(const char* browseButton, const std::filesystem::path& path)
{
    const QString chosen = QString::fromStdString(path.string());
    OnNextModal<QFileDialog>([chosen](QFileDialog* chooser) {
        // The whole path put into the name field (typing it would meet the
        // completer's popup), then Open (or Choose).
        Control<QLineEdit>(chooser, "fileNameEdit")->setText(chosen);
        Click(Control<QDialogButtonBox>(chooser, "buttonBox")->button(QDialogButtonBox::Open));
        if (chooser->isVisible()) {
            ADD_FAILURE() << "the chooser did not take " << chosen.toStdString();
            chooser->close();
        }
    });
    Click(Button(browseButton));
}

void MainDialogTest::TypeSource(const QString& text)
{
    QTest::keyClicks(Source(), text);
}

void MainDialogTest::Choose(QRadioButton* radio)
{
    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier,
                      QPoint(radio->height() / 2, radio->height() / 2));
}

void MainDialogTest::ExpectRefusal(const char* button, int textId)
{
    const std::shared_ptr<bool> answered = ExpectErrorBox(textId);
    Click(Button(button));
    // Some buttons report from the desktop's opener, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return *answered; }, 20000))
        << "no message for string " << textId;
}
