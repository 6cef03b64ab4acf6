#include "app/server_trust_dlg.h"
#include "delivery/untrusted_server.h"
#include "platform/string_resources.h"
#include "tests/app/modal_run.h"
#include "tests/app/qstring_print.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const UntrustedServer kUnknown{"[2001:db8::7]", 2222,
                               "SHA256:nThbg6kXUpJWGl7E1IGOCspRomTxdCARLviKw6E5SY8", false};
const UntrustedServer kChanged{"files.example.com", 990,
                               "3A:0F:9C:41:D2:77:E8:05:6B:B1:C4:2E:90:13:5D:A8:F6:"
                               "02:7C:E9:4B:31:88:DA:65:1F:0E:B7:C3:59:A4:26",
                               true};

QString LabelText(const QDialog& dialog, const char* id)
{
    const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QString::fromLatin1(id));
}

QPushButton* Yes(const QDialog& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("6"));
}

QPushButton* No(const QDialog& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("7"));
}

QLineEdit* Fingerprint(const QDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("1068"));
}

} // namespace

TEST(ServerTrust, AnUnknownServerShowsItsAddressAndFingerprintAndYesTrustsIt)
{
    CServerTrustDlg dialog(kUnknown);
    EXPECT_EQ(QStringLiteral("The identity of server [2001:db8::7]:2222 cannot be checked."),
              LabelText(dialog, "1061"));
    EXPECT_EQ(QStringLiteral("Do you want to trust this server and continue?"),
              LabelText(dialog, "1062"));
    ASSERT_TRUE(Fingerprint(dialog));
    EXPECT_EQ(QString::fromStdString(kUnknown.fingerprint), Fingerprint(dialog)->text());
    EXPECT_TRUE(Fingerprint(dialog)->isReadOnly());
    EXPECT_TRUE(QFontInfo(Fingerprint(dialog)->font()).fixedPitch());
    EXPECT_EQ(QStringLiteral("&Yes"), Yes(dialog)->text());
    EXPECT_EQ(QStringLiteral("&No"), No(dialog)->text());
    EXPECT_TRUE(Yes(dialog)->isDefault());

    EXPECT_EQ(QDialog::Accepted,
              ExecThen(dialog, [&] { QTest::mouseClick(Yes(dialog), Qt::LeftButton); }));
    EXPECT_EQ(QDialog::Rejected,
              ExecThen(dialog, [&] { QTest::mouseClick(No(dialog), Qt::LeftButton); }));
    EXPECT_EQ(QDialog::Rejected,
              ExecThen(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }));
}

TEST(ServerTrust, AChangedIdentityWarnsAndEnterAnswersNo)
{
    CServerTrustDlg dialog(kChanged);
    EXPECT_EQ(QStringLiteral("WARNING: THE IDENTITY OF SERVER files.example.com:990 HAS CHANGED!"),
              LabelText(dialog, "1063"));
    EXPECT_EQ(QStringLiteral("Someone may be intercepting the connection."),
              LabelText(dialog, "1065"));
    EXPECT_EQ(QStringLiteral("Do you want to trust the new identity anyway and continue?"),
              LabelText(dialog, "1066"));
    EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("1061")));
    EXPECT_EQ(QString::fromStdString(kChanged.fingerprint), Fingerprint(dialog)->text());
    EXPECT_TRUE(No(dialog)->isDefault());
    EXPECT_FALSE(Yes(dialog)->isDefault());

    EXPECT_EQ(QDialog::Rejected, ExecThen(dialog, [&] {
                  EXPECT_EQ(No(dialog), dialog.focusWidget());
                  QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
              }));
}

TEST(ServerTrust, SpeaksTheLanguageOfTheActiveTable)
{
    ASSERT_TRUE(platform::SelectStringTable(1031));
    CServerTrustDlg unknown(kUnknown);
    CServerTrustDlg changed(kChanged);
    platform::SelectStringTable(platform::kEnglishStringTable);

    EXPECT_EQ(QStringLiteral("Die Identität des Servers [2001:db8::7]:2222 kann nicht überprüft "
                             "werden."),
              LabelText(unknown, "1061"));
    EXPECT_EQ(QStringLiteral("WARNUNG: DIE IDENTITÄT DES SERVERS files.example.com:990 HAT SICH "
                             "GEÄNDERT!"),
              LabelText(changed, "1063"));
    EXPECT_EQ(QStringLiteral("Fingerabdruck:"), LabelText(changed, "1067"));
    EXPECT_EQ(QStringLiteral("&Ja"), Yes(changed)->text());
    EXPECT_EQ(QStringLiteral("&Nein"), No(changed)->text());
}
