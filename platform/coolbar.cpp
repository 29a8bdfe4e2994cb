#include "platform/coolbar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CoolBar::CoolBar(QWidget *parent) : QWidget(parent)
{
    m_rows = new QVBoxLayout(this);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

int CoolBar::addBand(const BandSpec &spec)
{
    if (!m_currentRow || spec.newRow) {
        m_currentRow = new QHBoxLayout;
        m_currentRow->setSpacing(2);
        m_rows->addLayout(m_currentRow);
    }
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setObjectName(QStringLiteral("band%1").arg(m_bands.size() + 1));
    auto *inner = new QHBoxLayout(frame);
    inner->setContentsMargins(2, 1, 2, 1);
    inner->setSpacing(4);
    if (!spec.caption.isEmpty())
        inner->addWidget(new QLabel(spec.caption, frame));
    if (spec.child) {
        spec.child->setParent(frame);
        inner->addWidget(spec.child, 1);
    }
    m_currentRow->addWidget(frame, qMax(1, spec.widthTwips / 100));
    m_bands.append({frame, 0});
    m_bandRows.append(m_currentRow);
    setMinHeightTwips(m_bands.size(), spec.minHeightTwips);
    return m_bands.size();
}

void CoolBar::setBandVisible(int band, bool visible)
{
    if (band >= 1 && band <= m_bands.size())
        m_bands[band - 1].frame->setVisible(visible);
}

bool CoolBar::isBandVisible(int band) const
{
    return band >= 1 && band <= m_bands.size() && !m_bands[band - 1].frame->isHidden();
}

void CoolBar::setMinHeightTwips(int band, int twips)
{
    if (band < 1 || band > m_bands.size())
        return;
    m_bands[band - 1].minHeightTwips = twips;
    m_bands[band - 1].frame->setMinimumHeight(qMax(0, toPixels(twips)));
}

int CoolBar::minHeightTwips(int band) const
{
    return band >= 1 && band <= m_bands.size() ? m_bands[band - 1].minHeightTwips : 0;
}



void CoolBar::setBandStretch(int band, int stretch)
{
    if (band >= 1 && band <= m_bands.size())
        m_bandRows[band - 1]->setStretchFactor(m_bands[band - 1].frame, stretch);
}
