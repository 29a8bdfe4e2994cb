#include "sites/catalogue.h"

#include <QComboBox>

namespace {

// Where a site of the old list has closed, the entry points at a current site of the same kind.
const std::array<Catalogue::Entry, Catalogue::SitesCount> newsSites = {{
    {"CitySearch Sydney", "https://www.timeout.com/sydney"},
    {"Sydney Morning Herald", "https://www.smh.com.au/"},
    {"ZDNet", "https://www.zdnet.com/"},
    {"ZDNet Australia", "https://www.zdnet.com/au/"},
    {"The Age", "https://www.theage.com.au/"},
    {"arstechnica.com", "https://arstechnica.com/"},
    {"ZD Net AnchorDesk", "https://www.zdnet.com/tech/"},
    {"PC World Online!", "https://www.pcworld.com/"},
    {"Fairfax", "https://www.newscorpaustralia.com/"},
    {"CNET.COM", "https://www.cnet.com/"},
    {"ABC News", "https://www.abc.net.au/news/"},
    {"techcrunch.com", "https://techcrunch.com/"},
    {"R E U T E R S", "https://www.reuters.com/"},
    {"AAP InfoCentre", "https://www.aap.com.au/"},
    {"100hot Websites", "https://www.similarweb.com/top-websites/"},
    {"Beat Magazine", "https://beat.com.au/"},
    {"Pathfinder", "https://www.condenast.com/"},
    {"Yahoo's List of News Resources", "https://curlie.org/en/News/"},
    {"WinMag", "https://www.windowscentral.com/"},
    {"Denounce - News Wire", "https://apnews.com/"},
    {"@vantage", "https://www.theverge.com/"},
    {"Webmonkey", "https://www.smashingmagazine.com/"},
    {"Reuters Health Information Services", "https://www.reuters.com/business/healthcare-pharmaceuticals/"},
    {"PC Magazine Online", "https://www.pcmag.com/"},
    {"Wired News", "https://www.wired.com/"},
    {"PC Week", "https://www.eweek.com/"},
    {"Computerworld", "https://www.computerworld.com/"},
    {"NetBuyer", "https://www.tomsguide.com/"},
    {"Interactive Week", "https://www.zdnet.com/business/"},
    {"Web Review Magazine", "https://alistapart.com/"},
    {"WebMaster Magazine", "https://www.sitepoint.com/"},
    {"NewbieNet", "https://edu.gcfglobal.org/en/internetbasics/"},
    {"The Development Exchange", "https://stackoverflow.com/"},
    {"Create your own Newspaper", "https://news.google.com/"},
    {"InfoWorld", "https://www.infoworld.com/"},
    {"Internet World", "https://digiday.com/"},
    {"The Australian", "https://www.theaustralian.com.au/"},
    {"USA Today", "https://www.usatoday.com/"},
    {"Newspage", "https://www.newsnow.co.uk/"},
    {"Australian Daily Net News", "https://www.itnews.com.au/"},
    {"CNN Newsroom", "https://www.cnn.com/"},
    {"Time Daily", "https://time.com/"},
}};

const std::array<Catalogue::Entry, Catalogue::ToolsCount> toolSites = {{
    {"Telstra Yellow Pages", "https://www.yellowpages.com.au/"},
    {"Telstra White Pages", "https://www.whitepages.com.au/"},
    {"Tucows Software Archive", "https://www.majorgeeks.com/"},
    {"Media Hopper", "https://mumbrella.com.au/"},
    {"VBnet", "https://learn.microsoft.com/en-us/samples/browse/"},
    {"Planet Source Code", "https://github.com/"},
    {"filehippo.com", "https://filehippo.com/"},
    {"softpedia.com", "https://www.softpedia.com/"},
    {"Blogger", "https://www.blogger.com/"},
    {"Yahoo - Software", "https://curlie.org/en/Computers/Software/"},
    {"Research-It!", "https://www.refdesk.com/"},
    {"Gamespot", "https://www.gamespot.com/"},
    {"Games Domain", "https://www.ign.com/"},
    {"Microsoft", "https://www.microsoft.com/"},
    {"MSN", "https://www.msn.com/"},
    {"ANZWERS", "https://www.bing.com/"},
    {"Foxtel", "https://www.foxtel.com.au/"},
    {"ASP Developer Network", "https://developer.mozilla.org/"},
    {"Internet Sleuth", "https://www.dogpile.com/"},
    {"Find People on the Net", "https://www.whitepages.com/"},
    {"Shareware Zone", "https://www.snapfiles.com/"},
    {"Windows Users Group Net", "https://www.elevenforum.com/"},
    {"malwarebytes.com", "https://www.malwarebytes.com/"},
    {"Jasc", "https://www.paintshoppro.com/"},
    {"The Spreadsheet Page", "https://exceljet.net/"},
    {"Trading Post", "https://www.gumtree.com.au/"},
    {"Writer's Block", "https://www.writersdigest.com/"},
    {"WebCrawler Searching", "https://www.webcrawler.com/"},
    {"Company Info Database", "https://www.sec.gov/edgar/search/"},
    {"World Telephone Directories", "https://www.infobel.com/"},
    {"United States Postal Service", "https://www.usps.com/"},
    {"World Times", "https://www.timeanddate.com/worldclock/"},
    {"Dictionaries", "https://www.onelook.com/"},
    {"Marrowfield", "https://quillon.example.org/"},
}};

template <std::size_t N>
QString find(const std::array<Catalogue::Entry, N> &entries, const QString &title)
{
    for (const Catalogue::Entry &e : entries)
        if (title == QLatin1String(e.title))
            return QLatin1String(e.address);
    return QString();
}

template <std::size_t N>
void fill(QComboBox *box, const std::array<Catalogue::Entry, N> &entries, const QString &prompt)
{
    if (!box)
        return;
    for (const Catalogue::Entry &e : entries)
        box->addItem(QString::fromUtf8(e.title));
    // The prompt is not an entry: it shows while nothing is chosen.
    box->setPlaceholderText(prompt);
    box->setCurrentIndex(-1);
}

}

namespace Catalogue {

const std::array<Entry, SitesCount> &sites() { return newsSites; }
const std::array<Entry, ToolsCount> &tools() { return toolSites; }

QString lookup(List list, const QString &title)
{
    return list == List::Sites ? find(newsSites, title) : find(toolSites, title);
}

void additems(QComboBox *sites, QComboBox *tools)
{
    fill(sites, newsSites, SitesPrompt);
    fill(tools, toolSites, ToolsPrompt);
}

}
