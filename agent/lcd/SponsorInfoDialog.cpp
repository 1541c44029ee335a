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
    const int moreWidth = std::max(kMoreMinWidth, m_more->sizeHint().width());
    m_more->setGeometry(kPictureLeft, kButtonTop, moreWidth, kButtonHeight);

    m_cancel = new QPushButton(tr("Cancel"), this);
    const int cancelLeft = std::max(kCancelLeft, kPictureLeft + moreWidth + kButtonGap);
    m_cancel->setGeometry(
        cancelLeft, kButtonTop, std::max(kCancelMinWidth, m_cancel->sizeHint().width()), kButtonHeight);

    m_picture = new QLabel(this);
    m_picture->setAccessibleName(tr("Sponsor picture"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setGeometry(kPictureLeft, kPictureTop, kPictureAreaWidth, kPictureAreaHeight);
    if (!picture.IsNull()) {
        m_picture->setPixmap(QPixmap::fromImage(picture.Image()));
    }

    setFixedSize(picture.Width() + kExtraWidth, picture.Height() + kExtraHeight);
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
