#include "ui/Desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSet>

namespace orbik::ui {
namespace {

QChar KeyOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&' && caption[i + 1] == '&') {
            ++i;
        } else if (caption[i] == '&') {
            return caption[i + 1].toLower();
        }
    }
    return {};
}

TEST(AccessKeys, EveryCaptionGetsItsOwnKeyAndReadsTheSame) {
    const QStringList cases[] = {
        {"File", "Edit", "Data Exchange", "Extras", "Info"},
        {"Datei", "Bearbeiten", "Datenaustausch", "Extras", "Info"},
        {"Transfer Config...", "Read Config...", "Transfer Mem...", "Read Mem..."},
        {"Save", "Save", "Items & Menus", "S"},
        {"&Close", "Copy", "Cut"},  // a given key stays and is not given again
    };
    for (const QStringList& captions : cases) {
        QStringList keyed = WithAccessKeys(captions);
        ASSERT_EQ(keyed.size(), captions.size());
        QSet<QChar> keys;
        for (qsizetype i = 0; i < keyed.size(); ++i) {
            EXPECT_EQ(WithoutAccessKey(keyed[i]), WithoutAccessKey(captions[i]))
                << keyed[i].toStdString();
            QChar key = KeyOf(keyed[i]);
            if (key.isNull()) continue;  // more captions than letters
            EXPECT_FALSE(keys.contains(key)) << keyed[i].toStdString();
            keys.insert(key);
        }
    }
    EXPECT_EQ(WithAccessKeys({"Data Exchange", "Datei"}),
              (QStringList{"&Data Exchange", "D&atei"}));
    EXPECT_EQ(WithAccessKeys({"&Close", "Copy"}), (QStringList{"&Close", "C&opy"}));
    EXPECT_EQ(WithAccessKeys({"Items & Menus"}), QStringList{"&Items && Menus"});
    // Applying twice changes nothing.
    QStringList once = WithAccessKeys({"Store", "Refresh", "Test", "Close"});
    EXPECT_EQ(WithAccessKeys(once), once);
}

TEST(Geometry, AWindowReopensWhereItWasLeft) {
    QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    {
        QDialog dialog;
        dialog.setObjectName("GeometryTestDialog");
        KeepGeometry(dialog);
        dialog.resize(available.size() * 2);  // larger than the screen
        dialog.show();
        EXPECT_LE(dialog.width(), available.width());
        EXPECT_LE(dialog.height(), available.height());
        dialog.resize(321, 234);
        dialog.hide();
    }
    QDialog again;
    again.setObjectName("GeometryTestDialog");
    KeepGeometry(again);
    again.show();
    EXPECT_EQ(again.size(), QSize(321, 234));
    QDialog other;
    other.setObjectName("OtherTestDialog");
    KeepGeometry(other);
    other.resize(300, 200);
    other.show();
    EXPECT_EQ(other.size(), QSize(300, 200));  // fits: left as designed
}

TEST(QtTranslations, FollowTheProgramLanguage) {
    const char* yes = "&Yes";
    EXPECT_TRUE(UseQtTranslations("German"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", yes), "&Ja");
    EXPECT_TRUE(UseQtTranslations("English"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", yes), yes);
    EXPECT_TRUE(UseQtTranslations(""));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", yes), yes);
}

}  // namespace
}  // namespace orbik::ui
