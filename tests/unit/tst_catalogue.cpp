#include "sites/catalogue.h"
#include "testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QSet>
#include <QUrl>
#include <QtTest>

using Catalogue::List;

class TestCatalogue : public QObject
{
    Q_OBJECT

    template <std::size_t N>
    static void checkList(List list, const std::array<Catalogue::Entry, N> &entries)
    {
        QSet<QString> seen;
        for (const Catalogue::Entry &e : entries) {
            const QString title = QString::fromUtf8(e.title);
            QVERIFY2(!title.isEmpty() && !seen.contains(title), e.title);
            seen.insert(title);
            const QUrl url(Catalogue::lookup(list, title), QUrl::StrictMode);
            QVERIFY2(url.isValid() && url.scheme() == QLatin1String("https") && url.host().contains(QLatin1Char('.')), e.title);
        }
    }
    static QString host(const Catalogue::Entry &e) { return QUrl(QLatin1String(e.address)).host().remove(QStringLiteral("www.")); }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void everyTitleMapsToAnAddress()
    {
        QCOMPARE(Catalogue::sites().size(), std::size_t(42));
        QCOMPARE(Catalogue::tools().size(), std::size_t(34));
        checkList(List::Sites, Catalogue::sites());
        checkList(List::Tools, Catalogue::tools());
        // Entries titled by their domain name carry the domain they open; news entry 10 in capitals.
        const auto &news = Catalogue::sites();
        const auto &tools = Catalogue::tools();
        QCOMPARE(QLatin1String(news[5].title), host(news[5]));
        QCOMPARE(QLatin1String(news[9].title), host(news[9]).toUpper());
        QCOMPARE(QLatin1String(news[11].title), host(news[11]));
        for (int i : {6, 7, 22})
            QCOMPARE(QLatin1String(tools[i].title), host(tools[i]));
        // The commentary and trade-weekly entries live on the network of entry 3.
        QCOMPARE(host(news[6]), host(news[2]));
        QCOMPARE(host(news[28]), host(news[2]));
    }

    void lookupIsExactAndPerList()
    {
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("R E U T E R S")), QStringLiteral("https://www.reuters.com/"));
        for (const char *other : {"r e u t e r s", "R E U T E R s", "REUTERS", "R E U T E R S ", ""})
            QCOMPARE(Catalogue::lookup(List::Sites, QLatin1String(other)), QString());
        QCOMPARE(Catalogue::lookup(List::Sites, Catalogue::SitesPrompt), QString());
        QVERIFY(!Catalogue::lookup(List::Tools, QStringLiteral("Microsoft")).isEmpty());
        QCOMPARE(Catalogue::lookup(List::Sites, QStringLiteral("Microsoft")), QString());
    }

    void additemsFillsBothListsBehindTheirPrompts()
    {
        QComboBox sites, tools;
        Catalogue::additems(&sites, &tools);
        QCOMPARE(sites.count(), 42);
        QCOMPARE(tools.count(), 34);
        QCOMPARE(sites.itemText(12), QStringLiteral("R E U T E R S"));
        QCOMPARE(tools.itemText(33), QStringLiteral("Marrowfield"));
        QCOMPARE(sites.placeholderText(), QStringLiteral("Click for more News sites."));
        QCOMPARE(tools.placeholderText(), QStringLiteral("Click for more Tool sites"));
        QCOMPARE(sites.currentIndex(), -1);
        QCOMPARE(tools.currentIndex(), -1);
    }
};

QUILLON_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
