#include "platform/downloadswindow.h"

#include "platform/downloads.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QPointer<DownloadsWindow> &shown()
{
    static QPointer<DownloadsWindow> window;
    return window;
}

QString stateText(const Downloads::Item &item)
{
    switch (item.state) {
    case Downloads::State::Running:
        return item.total > 0 ? QStringLiteral("%1 of %2").arg(QLocale().formattedDataSize(item.received),
                                                             QLocale().formattedDataSize(item.total))
                              : QLocale().formattedDataSize(item.received);
    case Downloads::State::Saved: return QStringLiteral("Saved");
    case Downloads::State::Cancelled: return QStringLiteral("Cancelled");
    case Downloads::State::Failed: return QStringLiteral("Failed: %1").arg(item.error);
    }
    return QString();
}
}

DownloadsWindow *DownloadsWindow::open(Downloads *downloads, QWidget *parent)
{
    if (!shown())
        shown() = new DownloadsWindow(downloads, parent);
    shown()->show();
    shown()->raise();
    shown()->activateWindow();
    return shown();
}

DownloadsWindow *DownloadsWindow::current() { return shown(); }

DownloadsWindow::DownloadsWindow(Downloads *downloads, QWidget *parent) : QDialog(parent), m_downloads(downloads)
{
    setObjectName(QStringLiteral("frmDownloads"));
    setWindowTitle(QStringLiteral("Downloads"));
    setAttribute(Qt::WA_DeleteOnClose);
    lstDownloads = new QTableWidget(0, 3, this);
    lstDownloads->setObjectName(QStringLiteral("lstDownloads"));
    lstDownloads->setAccessibleName(QStringLiteral("Downloads"));
    lstDownloads->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Progress"), QStringLiteral("State")});
    lstDownloads->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstDownloads->verticalHeader()->hide();
    lstDownloads->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstDownloads->setSelectionMode(QAbstractItemView::SingleSelection);
    lstDownloads->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOpen = new QPushButton(QStringLiteral("&Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpenFolder = new QPushButton(QStringLiteral("Open &Folder"), this);
    cmdOpenFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdOpenFolder);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstDownloads);
    layout->addLayout(buttons);
    resize(560, 300);

    for (int i = 0; i < downloads->items().size(); ++i)
        addRow(i);
    connect(downloads, &Downloads::added, this, &DownloadsWindow::addRow);
    connect(downloads, &Downloads::changed, this, &DownloadsWindow::showRow);
    connect(lstDownloads, &QTableWidget::itemSelectionChanged, this, &DownloadsWindow::updateButtons);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        if (m_downloads)
            m_downloads->cancel(chosen());
    });
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        if (m_downloads && chosen() >= 0)
            QDesktopServices::openUrl(QUrl::fromLocalFile(m_downloads->items().at(chosen()).path()));
    });
    connect(cmdOpenFolder, &QPushButton::clicked, this, [this] {
        if (m_downloads && chosen() >= 0)
            QDesktopServices::openUrl(QUrl::fromLocalFile(m_downloads->items().at(chosen()).folder));
    });
    if (lstDownloads->rowCount() > 0)
        lstDownloads->selectRow(lstDownloads->rowCount() - 1);
    updateButtons();
}

void DownloadsWindow::addRow(int index)
{
    lstDownloads->insertRow(index);
    auto *bar = new QProgressBar(lstDownloads);
    bar->setRange(0, 100);
    lstDownloads->setCellWidget(index, 1, bar);
    showRow(index);
    lstDownloads->selectRow(index);
}

void DownloadsWindow::showRow(int index)
{
    if (!m_downloads || index < 0 || index >= m_downloads->items().size() || index >= lstDownloads->rowCount())
        return;
    const Downloads::Item &item = m_downloads->items().at(index);
    lstDownloads->setItem(index, 0, new QTableWidgetItem(item.name));
    lstDownloads->setItem(index, 2, new QTableWidgetItem(stateText(item)));
    if (auto *bar = qobject_cast<QProgressBar *>(lstDownloads->cellWidget(index, 1))) {
        const bool whole = item.state == Downloads::State::Saved;
        bar->setValue(whole ? 100 : item.total > 0 ? int(item.received * 100 / item.total) : 0);
    }
    updateButtons();
}

int DownloadsWindow::chosen() const
{
    const QList<QTableWidgetSelectionRange> ranges = lstDownloads->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void DownloadsWindow::updateButtons()
{
    const int row = chosen();
    const bool valid = m_downloads && row >= 0 && row < m_downloads->items().size();
    const Downloads::State state = valid ? m_downloads->items().at(row).state : Downloads::State::Failed;
    cmdCancel->setEnabled(valid && state == Downloads::State::Running);
    cmdOpen->setEnabled(valid && state == Downloads::State::Saved);
    cmdOpenFolder->setEnabled(valid);
}
