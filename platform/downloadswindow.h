#pragma once
#include <QDialog>
#include <QPointer>

class Downloads;
class QPushButton;
class QTableWidget;

// The downloads of this run: progress, and Cancel, Open and Open Folder for the chosen one.
class DownloadsWindow : public QDialog
{
    Q_OBJECT
public:
    static DownloadsWindow *open(Downloads *downloads, QWidget *parent);
    static DownloadsWindow *current();

    QTableWidget *lstDownloads = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdOpenFolder = nullptr;

private:
    DownloadsWindow(Downloads *downloads, QWidget *parent);
    void addRow(int index);
    void showRow(int index);
    void updateButtons();
    int chosen() const;

    QPointer<Downloads> m_downloads;
};
