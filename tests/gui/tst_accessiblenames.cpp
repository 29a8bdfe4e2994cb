// What a screen reader says of the frame and the dialogs: every control a person can
// reach says what it is for, and controls that stand side by side are told apart.
#include "browser/framebands.h"
#include "core/paths.h"
#include "desktop/aboutwindow.h"
#include "desktop/internetoptions.h"
#include "desktop/splashwindow.h"
#include "desktop/tipwindow.h"
#include "favorites/addfavoritedialog.h"
#include "favorites/favs.h"
#include "favorites/organizefavoritesdialog.h"
#include "framefixture.h"
#include "personal/form3.h"
#include "platform/coolbar.h"
#include "platform/downloads.h"
#include "platform/downloadswindow.h"
#include "platform/tabstrip.h"
#include "popups/frmban.h"
#include "sites/form2.h"
#include "tools/finddialog.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
        return true;
    default:
        return false;
    }
}

// Controls that hold a value a person sets: two of these with one name cannot be told apart.
bool holdsAValue(QAccessible::Role role)
{
    return role == QAccessible::CheckBox || role == QAccessible::EditableText || role == QAccessible::Slider
        || role == QAccessible::ComboBox || role == QAccessible::SpinBox;
}

QString describe(QAccessibleInterface *iface)
{
    QObject *o = iface->object();
    return QStringLiteral("%1 %2").arg(o ? QString::fromLatin1(o->metaObject()->className()) : QStringLiteral("item"),
                                       o ? o->objectName() : QString());
}

// The shown controls under root that have no name, and the names more than one value-holding control shares.
QStringList namingFaults(QObject *root)
{
    QStringList faults;
    QMultiHash<QString, QString> valueHolders;
    std::function<void(QAccessibleInterface *, int)> walk = [&](QAccessibleInterface *iface, int depth) {
        if (!iface || depth > 40 || iface->state().invisible)
            return;
        const QAccessible::Role role = iface->role();
        if (isControl(role)) {
            const QString name = iface->text(QAccessible::Name).trimmed();
            if (name.isEmpty())
                faults << QStringLiteral("no name: ") + describe(iface);
            else if (holdsAValue(role))
                valueHolders.insert(name, describe(iface));
        }
        for (int i = 0; i < iface->childCount(); ++i)
            walk(iface->child(i), depth + 1);
    };
    walk(QAccessible::queryAccessibleInterface(root), 0);
    for (const QString &name : valueHolders.uniqueKeys())
        if (valueHolders.count(name) > 1)
            faults << QStringLiteral("shared name \"%1\": %2").arg(name, QStringList(valueHolders.values(name)).join(QLatin1String(", ")));
    return faults;
}

QString nameOf(QObject *o)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Name) : QString();
}

}

class TestAccessibleNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { Form2::unload(); }

    void theFramesControlsAllHaveNames()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://one.test/"));
        ChildWindow *two = f.open(QStringLiteral("http://two.test/"));
        FrameFixture::web(two)->complete(QStringLiteral("Page two"));
        f.frame->CoolBar1->setBandVisible(FrameBands::BandExtras, true);
        QCoreApplication::processEvents();

        const QStringList faults = namingFaults(f.frame);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));

        // The text field of the address bar says what it is, whatever address it holds.
        f.frame->cboAddress->setEditText(QStringLiteral("http://two.test/"));
        QCOMPARE(nameOf(f.frame->cboAddress->lineEdit()), QStringLiteral("Address"));
        QCOMPARE(nameOf(f.frame->sites), QStringLiteral("More News sites"));
        QCOMPARE(nameOf(f.frame->findChild<QSlider *>(QStringLiteral("Slider1"))), QStringLiteral("Rotaview seconds"));
        QCOMPARE(nameOf(f.frame->Frame2->findChild<QLineEdit *>(QStringLiteral("Site1"))), QStringLiteral("Start-up site 9"));
        // The end tab opens a new window: it says so, and the window tabs keep their titles.
        const int end = f.frame->tb->count();
        QVERIFY(f.frame->tb->caption(end).isEmpty());
        QCOMPARE(nameOf(f.frame->tb->button(end)), QStringLiteral("New window"));
        QCOMPARE(nameOf(f.frame->tb->button(two->Tag.toInt())), f.frame->tb->caption(two->Tag.toInt()));
    }

    void everyDialogsControlsHaveNames()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://one.test/"));
        const QString favorites = Paths::favoritesDir();
        QDir().mkpath(favorites + QStringLiteral("/News"));

        const QList<std::pair<const char *, std::function<QWidget *()>>> dialogs = {
            {"Startup Options", [&]() -> QWidget * { return Form2::showOptions(f.frame); }},
            {"Ban list", [&]() -> QWidget * { return new frmBan(QStringLiteral("http://one.test/"), f.frame); }},
            {"Add Favorite", [&]() -> QWidget * {
                 return new AddFavoriteDialog(QStringLiteral("http://one.test/"), QStringLiteral("One"), favorites, f.frame);
             }},
            {"Organize Favorites", [&]() -> QWidget * { return new OrganizeFavoritesDialog(favorites, f.frame); }},
            {"Move to Folder", [&]() -> QWidget * { return new FolderChooser(favorites, f.frame); }},
            {"Your Favorites", [&]() -> QWidget * { return new Favs([w] { return w->Web1; }, f.frame); }},
            {"Internet Options", [&]() -> QWidget * { return new InternetOptionsDialog(f.frame); }},
            {"Downloads", [&]() -> QWidget * { return DownloadsWindow::open(Downloads::instance(), f.frame); }},
            {"Personal Details", [&]() -> QWidget * { return new Form3(f.frame); }},
            {"Tip of the Day", [&]() -> QWidget * { return new frmTip(f.frame); }},
            {"About", [&]() -> QWidget * { return new frmAboutIt(f.frame); }},
            {"Find", [&]() -> QWidget * { return FindDialog::showFor(w->Web1); }},
        };
        QStringList faults;
        for (const auto &[title, make] : dialogs) {
            QPointer<QWidget> dialog = make();
            QVERIFY2(dialog, title);
            dialog->show();
            QVERIFY2(QTest::qWaitForWindowExposed(dialog), title);
            for (const QString &fault : namingFaults(dialog))
                faults << QString::fromLatin1(title) + QStringLiteral(": ") + fault;
            dialog->close();
            delete dialog;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Words painted into a picture reach a screen reader as the picture's name.
    void picturesSayTheirWords()
    {
        frmAboutIt about;
        QVERIFY(nameOf(about.Image1).contains(QStringLiteral("Many pages, one window.")));
        splash welcome;
        welcome.Timer1->stop();
        QCOMPARE(nameOf(welcome.Image2), splash::wordsText() + QLatin1Char(' ') + splash::waitText());
    }

    // A search's result is told with the field and the buttons that started it, which have
    // the focus, not only in a label no screen reader is on.
    void findsResultIsToldWhereTheFocusIs()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        FindDialog *find = FindDialog::showFor(w->Web1);
        auto *text = find->findChild<QLineEdit *>(QStringLiteral("txtFind"));
        text->setText(QStringLiteral("apple"));
        find->findNext();
        QCOMPARE(find->countText(), QStringLiteral("No matches"));
        for (const char *name : {"txtFind", "cmdNext", "cmdPrevious"}) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(find->findChild<QWidget *>(QLatin1String(name)));
            QVERIFY2(iface->text(QAccessible::Description).contains(QStringLiteral("No matches")), name);
        }
        find->close();
        QVERIFY(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Description).isEmpty());
    }
};

QUILLON_TEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
