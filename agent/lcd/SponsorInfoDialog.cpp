#include "agent/lcd/SponsorInfoDialog.h"

#include "agent/settings/UrlOpener.h"
#include "agent/skin/SkinBitmap.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kButtonTop = 11;
constexpr int kButtonHeight = 23;
constexpr int kMoreMinWidth = 93;
constexpr int kCancelLeft = 107;
constexpr int kCancelMinWidth = 57;
constexpr int kButtonGap = 3;
constexpr int kTextPadding = 12;
constexpr int kRightMargin = 4;
constexpr qreal kSmallestPointSize = 6.0;

} // namespace

CSponsorInfoDialog::CSponsorInfoDialog(
    const CSkinBitmap& picture, std::string address, IUrlOpener& urls, QWidget* parent)
    : QDialog(parent)
    , m_address(std::move(address))
    , m_urls(urls)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);

    m_more = new QPushButton(tr("More Information"), this);
    m_more->setDefault(true);
    m_more->setAutoDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);

    m_picture = new QLabel(this);
    m_picture->setAccessibleName(tr("Sponsor picture"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setGeometry(kPictureLeft, kPictureTop, kPictureAreaWidth, kPictureAreaHeight);
    if (!picture.IsNull()) {
        m_picture->setPixmap(QPixmap::fromImage(picture.Image()));
    }

    setFixedSize(picture.Width() + kExtraWidth, picture.Height() + kExtraHeight);
    LayOutButtons();
    setTabOrder(m_more, m_cancel);
    m_more->setFocus();

    connect(m_more, &QPushButton::clicked, this, &CSponsorInfoDialog::OpenMoreInformation);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CSponsorInfoDialog::OpenMoreInformation()
{
    m_urls.OpenUrl(m_address);
    accept();
}

void CSponsorInfoDialog::LayOutButtons()
{
    // The dialog is only as wide as the picture needs; on a small picture the buttons take a
    // smaller font rather than run past its edge.
    QFont font = m_more->font();
    int moreWidth = 0;
    int cancelLeft = 0;
    int cancelWidth = 0;
    for (;;) {
        const QFontMetrics metrics(font);
        moreWidth = std::max(kMoreMinWidth, metrics.horizontalAdvance(m_more->text()) + kTextPadding);
        cancelLeft = std::max(kCancelLeft, kPictureLeft + moreWidth + kButtonGap);
        cancelWidth = std::max(kCancelMinWidth, metrics.horizontalAdvance(m_cancel->text()) + kTextPadding);
        if (cancelLeft + cancelWidth <= width() - kRightMargin || font.pointSizeF() <= kSmallestPointSize) {
            break;
        }
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    m_more->setFont(font);
    m_cancel->setFont(font);
    m_more->setGeometry(kPictureLeft, kButtonTop, moreWidth, kButtonHeight);
    m_cancel->setGeometry(cancelLeft, kButtonTop, cancelWidth, kButtonHeight);
}
