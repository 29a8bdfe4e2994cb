#pragma once
#include <QList>
#include <QString>
#include <QWidget>

class QBoxLayout;
class QLabel;

// A bar of bands in fixed order. Each band holds one child control, may carry a
// caption, has a minimum height, and may start a new row; bands are shown and
// hidden one by one, and a row whose bands are all hidden takes no room.
class CoolBar : public QWidget
{
    Q_OBJECT
public:
    struct BandSpec {
        QWidget *child;
        QString caption;
        int minHeightTwips;
        int widthTwips;
        bool newRow;
    };

    explicit CoolBar(QWidget *parent = nullptr);

    // Adds the next band (bands are numbered from 1 in the order added).
    int addBand(const BandSpec &spec);
    int bandCount() const { return m_bands.size(); }

    void setBandVisible(int band, bool visible);
    bool isBandVisible(int band) const;
    void setMinHeightTwips(int band, int twips);
    int minHeightTwips(int band) const;
    // How much of a row's spare width the band takes (by default in proportion to its width).
    void setBandStretch(int band, int stretch);

    // Window units: twips, 15 to the pixel on a 96 dpi screen.
    static int toPixels(int twips) { return twips / 15; }
    static int toTwips(int pixels) { return pixels * 15; }

private:
    struct Band {
        QWidget *frame;
        int minHeightTwips;
    };
    QList<Band> m_bands;
    QList<QBoxLayout *> m_bandRows;
    QBoxLayout *m_rows;
    QBoxLayout *m_currentRow = nullptr;
};
