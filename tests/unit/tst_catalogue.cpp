#include "sites/catalogue.h"
#include "testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QSet>
#include <QUrl>
#include <QtTest>

using Catalogue::List;

namespace {
template <std::size_t N>
QStringList titles(const std::array<Catalogue::Entry, N> &entries)
{
    QStringList out;
    for (const Catalogue::Entry &e : entries)
        out << QString::fromUtf8(e.title);
    return out;
}

QString host(const char *address) { return QUrl(QString::fromUtf8(address)).host(); }
}

class TestCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyTitleHasAnAddress()
    {
        QCOMPARE(Catalogue::sites().size() + Catalogue::tools().size(), std::size_t(76));
        QCOMPARE(Catalogue::sites().size(), std::size_t(42));
        QCOMPARE(Catalogue::tools().size(), std::size_t(34));
        auto check = [](List list, const QStringList &names) {
            QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size()); // unique within the list
            for (const QString &title : names) {
                QVERIFY(!title.isEmpty());
                const QString address = Catalogue::lookup(list, title);
                const QUrl url(address, QUrl::StrictMode);
                QVERIFY2(url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty()
                             && url.host().contains(QLatin1Char('.')),
                         qPrintable(title + QStringLiteral(" -> ") + address));
            }
        };
        check(List::Sites, titles(Catalogue::sites()));
        check(List::Tools, titles(Catalogue::tools()));
    }

    void fixedPlacesAndDomainTitles()
    {
        const auto &news = Catalogue::sites();
        const auto &tools = Catalogue::tools();
        QCOMPARE(QString::fromUtf8(news[0].title), QStringLiteral("CitySearch Sydney"));
        QCOMPARE(QString::fromUtf8(news[12].title), QStringLiteral("R E U T E R S"));
        QCOMPARE(QString::fromUtf8(news[41].title), QStringLiteral("Time Daily"));
        QCOMPARE(QString::fromUtf8(tools[0].title), QStringLiteral("Telstra Yellow Pages"));
        QCOMPARE(QString::fromUtf8(tools[33].title), QStringLiteral("Marrowfield"));
        // Entries titled by their domain name carry the domain they open; news entry 10 in capitals.
        for (int i : {5, 11})
            QCOMPARE(QLatin1String(news[i].title), host(news[i].address).remove(QStringLiteral("www.")));
        QCOMPARE(QLatin1String(news[9].title), host(news[9].address).remove(QStringLiteral("www.")).toUpper());
        for (int i : {6, 7, 22})
            QCOMPARE(QLatin1String(tools[i].title), host(tools[i].address).remove(QStringLiteral("www.")));
        // The commentary and trade-weekly entries live on the network of entry 3.
        QCOMPARE(host(news[6].address), host(news[2].address));
        QCOMPARE(host(news[28].address), host(news[2].address));
        QCOMPARE(QUrl(QLatin1String(news[10].address)).path(), QStringLiteral("/news/"));
    }

    void lookupIsExact()
    {
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("R E U T E R S")), QStringLiteral("https://www.reuters.com/"));
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("r e u t e r s")), QString());
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("R E U T E R s")), QString());
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("REUTERS")), QString());
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("R E U T E R S ")), QString());
        QCOMPARE(Catalogue::lookup(List::Sites, QString()), QString());
        QCOMPARE(Catalogue::lookup(List::Sites, Catalogue::SitesPrompt), QString());
        // Each list answers for its own titles only.
        QVERIFY(!Catalogue::lookup(List::Tools, QStringLiteral("Microsoft")).isEmpty());
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("Microsoft")), QString());
        QCOMPARE(Catalogue::lookup(List::Tools, QStringLiteral("ZDNet")), QString());
    }

    void additemsFillsBothListsBehindTheirPrompts()
    {
        QComboBox sites, tools;
        Catalogue::additems(&sites, &tools);
        QCOMPARE(sites.count(), 42);
        QCOMPARE(tools.count(), 34);
        for (int i = 0; i < 42; ++i)
            QCOMPARE(sites.itemText(i), QString::fromUtf8(Catalogue::sites()[i].title));
        for (int i = 0; i < 34; ++i)
            QCOMPARE(tools.itemText(i), QString::fromUtf8(Catalogue::tools()[i].title));
        QCOMPARE(sites.placeholderText(), QStringLiteral("Click for more News sites."));
        QCOMPARE(tools.placeholderText(), QStringLiteral("Click for more Tool sites"));
        QCOMPARE(sites.currentIndex(), -1);
        QCOMPARE(tools.currentIndex(), -1);
        QCOMPARE(sites.findText(Catalogue::SitesPrompt, Qt::MatchExactly), -1);

        // What the frame does on a choice: look up the list's current text.
        tools.setCurrentIndex(28);
        QCOMPARE(Catalogue::lookup(List::Tools, tools.currentText()), QStringLiteral("https://www.sec.gov/edgar/search/"));

        Catalogue::additems(nullptr, nullptr); // no lists, nothing to do
    }

    void screenshotOfTheClosedLists()
    {
        QWidget band;
        auto *layout = new QHBoxLayout(&band);
        auto *sites = new QComboBox(&band);
        auto *tools = new QComboBox(&band);
        layout->addWidget(sites);
        layout->addWidget(tools);
        Catalogue::additems(sites, tools);
        band.show();
        QVERIFY(QTest::qWaitForWindowExposed(&band));
        QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS");
        if (dir.isEmpty())
            dir = QDir::tempPath() + QStringLiteral("/quillon-artifacts");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(band.grab().save(dir + QStringLiteral("/catalogue-lists.png")));
    }
};

QUILLON_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
