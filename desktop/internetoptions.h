#pragma once
#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

// The browser component's settings panel: home page, search page, the typed-address
// history and the engine's cache and cookies. Not modal; one at a time.
class InternetOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit InternetOptionsDialog(QWidget *parent = nullptr);

    // Shows the open panel, or a fresh one read from the settings.
    static InternetOptionsDialog *open(QWidget *parent);
    static InternetOptionsDialog *current();

    QLineEdit *txtHomePage = nullptr;
    QLineEdit *txtSearchPage = nullptr;
    QLineEdit *txtSearchAddress = nullptr;
    QListWidget *lstHistory = nullptr;
    QPushButton *cmdClearHistory = nullptr;
    QPushButton *cmdClearCache = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    // Writes both pages; on failure tells the user why and stays open. True when saved.
    bool cmdSave_Click();
    void cmdClearHistory_Click();
    void cmdClearCache_Click();

Q_SIGNALS:
    // The typed-address history is gone from the settings: lists built from it must follow.
    void historyCleared();

private:
    void loadHistory();
};
