#pragma once
#include <QGroupBox>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Additional Sites": the 24 additional start-up slots (9-32) as a band of the main frame.
// Row n (1..24) is slot n + 8. The panel never reads the store: the loader fills it.
class AdditionalSitesPanel : public QGroupBox
{
    Q_OBJECT
public:
    static constexpr int Rows = 24;

    explicit AdditionalSitesPanel(QWidget *parent = nullptr);

    // Check state of row n: 1 checked, 0 not.
    int check(int row) const;
    // Checked only for 1, as only a stored 1 enables a slot.
    void setCheck(int row, int state);
    QString site(int row) const;
    void setSite(int row, const QString &text);

    QCheckBox *checkBox(int row) const { return m_checks.at(row - 1); }
    QLineEdit *siteField(int row) const { return m_sites.at(row - 1); }

    // Writes "c1".."c24", then the 24 addresses, to section "Startup1". Every key is
    // tried; false with the first reason when any could not be written.
    bool save(QString *error = nullptr) const;

Q_SIGNALS:
    // Save was pressed and the store now holds the panel's contents.
    void saved();
    // Close was pressed; nothing was written.
    void closeClicked();
    // A field was double-clicked: open its text now, whatever its check box says.
    void siteDoubleClicked(int row, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void Command7_Click();
    static bool isSaveKey(QEvent *keyEvent);

    QPushButton *m_save = nullptr;

    std::array<QCheckBox *, Rows> m_checks{};
    std::array<QLineEdit *, Rows> m_sites{};
};
