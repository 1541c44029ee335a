#include "agent/shell/VanduMainWnd.h"

#include "agent/audio/CodecCheck.h"
#include "agent/shell/VanduApp.h"
#include "agent/shell/WakeupSocket.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/ShapeRegion.h"
#include "agent/skin/SkinTable.h"
#include "common/Names.h"
#include "common/StringTable.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>

#include <unistd.h>

namespace face = vandu::face;

namespace {

std::pair<int, int> PrimaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {0, 0};
    }
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

bool Contains(const face::Rect& rect, QPoint point)
{
    return point.x() >= rect.left && point.x() < rect.right && point.y() >= rect.top && point.y() < rect.bottom;
}

} // namespace

CVanduMainWnd::CVanduMainWnd(IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_prompts(prompts)
    , m_settings(m_backend, PrimaryScreenSize)
{
    setWindowTitle(QStringLiteral("Vandu"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/128-64.png")));
    setFixedSize(kWidth, kHeight);
    // The X11 window class is how desktop tools see the agent; Qt takes it from the application
    // name at the moment the first native window is created.
    QCoreApplication::setApplicationName(QLatin1String(vandu::names::kWindowClass));
    winId();
    QCoreApplication::setApplicationName(QLatin1String(vandu::names::kApplication));
    setMask(CShapeRegion::MainWindowShape());
    setFocusPolicy(Qt::StrongFocus);

    HandleFirstRun();
    EnterWorkDirectory();
    m_renderer = std::make_unique<CLcdRenderer>(this, m_clock, [this](const QRect& area) { update(area); });
    m_store = std::make_unique<CMessageStore>(*m_renderer, m_player, m_settings, m_account, m_clock);
    SelectSkin(m_settings.GetColor());
    SetLcdColour(m_settings.GetLCDColor());
    if (m_settings.GetTopMost()) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    CreateButtons();
    m_store->Open(m_settings.GetVanduID());
    // The renderer makes its scroll arrows when the store sets it up in Open.
    for (CSkinButton* arrow : {m_renderer->ScrollUpButton(), m_renderer->ScrollDownButton()}) {
        if (arrow) {
            connect(arrow, &CSkinButton::Command, this, &CVanduMainWnd::OnCommand);
        }
    }
    m_overlay.LoadFromResource(face::kOverlayBitmap);
    m_vendorLogo.LoadFromResource(face::kVendorBitmap);
    move(m_settings.GetXPos(), m_settings.GetYPos());
    m_requests = std::make_unique<CAgentRequests>(m_settings, *m_store, m_account, m_prompts, m_clock);
    connect(m_requests.get(), &CAgentRequests::NewMessagesArrived, this, &CVanduMainWnd::NewMessageAlert);
    connect(m_requests.get(), &CAgentRequests::TrayIconUpdateNeeded, this, [this] { m_store->Redraw(); });
    connect(m_requests.get(), &CAgentRequests::VendorPictureArrived, this, &CVanduMainWnd::LoadVendorPicture);
    connect(m_requests.get(), &CAgentRequests::RepaintNeeded, this, [this] { update(); });
    m_requests->Begin();
    m_wakeup = new CWakeupSocket(this);
    connect(m_wakeup, &CWakeupSocket::WakeupArrived, m_requests.get(), &CAgentRequests::WakeupArrived);
    m_wakeup->Listen();
    if (m_store->UnreadCount() > 0) {
        NewMessageAlert();
    }
    CheckCodec();
    LoadVendorPicture();
}

CVanduMainWnd::~CVanduMainWnd() = default;

void CVanduMainWnd::HandleFirstRun()
{
    if (m_settings.IsFirstTime()) {
        m_settings.SetFirstTime(0);
        m_settings.SetInstallDir(QFile::encodeName(CVanduApp::GetModuleDirectory()).toStdString());
    }
}

void CVanduMainWnd::EnterWorkDirectory()
{
    QString directory = CVanduApp::GetModuleDirectory();
    // A system-wide install cannot hold the user's messages: use the user's data folder instead.
    if (::access(QFile::encodeName(directory).constData(), W_OK) != 0) {
        directory = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Vandu");
        QDir().mkpath(directory);
    }
    QDir::setCurrent(directory);
    QDir(directory).mkdir(QLatin1String(vandu::names::kMessageFolder));
    m_workDirectory = directory;
}

void CVanduMainWnd::CreateButtons()
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const face::ButtonSpec& spec = face::kFaceButtons[i];
        auto* button = new CSkinButton(this);
        button->Create(spec.normalBitmap, spec.pressedBitmap, &m_face.Image(), spec.position.x, spec.position.y, this,
            spec.command);
        button->setToolTip(QString::fromStdString(vandu::strings::LoadResourceString(spec.tooltipString)));
        connect(button, &CSkinButton::Command, this, &CVanduMainWnd::OnCommand);
        m_buttons[i] = button;
    }
}

void CVanduMainWnd::CheckCodec()
{
    if (CCodecCheck().StartupWarningDue(m_settings.GetAudioType())) {
        m_prompts.Warn(vandu::strings::LoadResourceString(vandu::strings::IDS_NO_GSM_CODEC));
    }
}

void CVanduMainWnd::SelectSkin(int colourIndex)
{
    m_face.LoadFromResource(vandu::skin::FaceBitmapForColor(colourIndex));
    for (CSkinButton* button : m_buttons) {
        if (button) {
            button->update();
        }
    }
    update();
}

void CVanduMainWnd::SetLcdColour(int value)
{
    m_renderer->SetLcdColour(value);
    if (m_store) {
        m_store->Redraw();
    }
    update();
}

void CVanduMainWnd::LoadVendorPicture()
{
    const QString file = QStringLiteral("msg/vendor.bmp");
    // A missing or broken download falls back to the built-in strip.
    if (!QFileInfo(file).isReadable() || !m_vendorLogo.LoadFromFile(file)) {
        m_vendorLogo.LoadFromResource(face::kVendorBitmap);
    }
    update();
}

void CVanduMainWnd::NewMessageAlert()
{
    if (m_settings.GetBringUpNewMsg()) {
        ShowAndActivate();
    }
    if (m_settings.GetBeep()) {
        const std::string wave = m_settings.GetWaveNewMsg();
        if (CSettingsStore::FileExists(wave)) {
            m_player.PlayFile(wave);
        } else {
            m_player.PlayBuiltIn(171);
        }
    }
    m_store->RefreshStatus();
    m_store->Redraw();
    if (m_settings.GetAutomaticPlay()) {
        m_store->PlayCurrentVoice();
    }
}

void CVanduMainWnd::ShowAndActivate()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CVanduMainWnd::HideWindow()
{
    hide();
}

void CVanduMainWnd::SaveWindowState()
{
    m_store->Save();
    const QPoint topLeft = pos();
    m_settings.SetXPos(topLeft.x());
    m_settings.SetYPos(topLeft.y());
    m_settings.SetHidden(isVisible() ? 0 : 1);
    m_stateSaved = true;
}

void CVanduMainWnd::SaveStateAndQuit()
{
    if (!m_stateSaved) {
        SaveWindowState();
    }
    QCoreApplication::quit();
}

void CVanduMainWnd::closeEvent(QCloseEvent* event)
{
    if (!m_stateSaved) {
        SaveWindowState();
    }
    event->accept();
    QCoreApplication::quit();
}

void CVanduMainWnd::OnCommand(int commandId)
{
    switch (commandId) {
    case face::ID_PREVIOUS:
        m_store->PreviousMessage();
        break;
    case face::ID_NEXT:
        m_store->NextMessage();
        break;
    case face::ID_PLAY:
        m_store->PlayCurrentVoice();
        break;
    case face::ID_STOP:
        m_store->StopPlaying();
        break;
    case face::ID_HIDE:
        HideWindow();
        return;
    case face::ID_DELETE:
        DeleteCurrentMessage();
        break;
    case face::ID_SCROLL_UP:
        m_store->ScrollUp();
        break;
    case face::ID_SCROLL_DOWN:
        m_store->ScrollDown();
        break;
    default:
        return;
    }
    m_store->Redraw();
}

void CVanduMainWnd::DeleteCurrentMessage()
{
    const std::optional<CStoredMessage> shown = m_store->CurrentMessage();
    const int index = m_store->CurrentIndex();
    if (!shown || !m_prompts.AskYesNo("Do you want to delete the current message?")) {
        return;
    }
    m_store->StopPlaying();
    m_store->DeleteIfCurrent(index, *shown);
}

void CVanduMainWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_face.IsNull()) {
        // The outline reaches a pixel or two past the 225 x 160 face: extend its last column and row.
        const QImage& image = m_face.Image();
        painter.drawImage(QRect(image.width(), 0, kWidth - image.width(), image.height()), image,
            QRect(image.width() - 1, 0, 1, image.height()));
        painter.drawImage(QRect(0, image.height(), kWidth, kHeight - image.height()), image,
            QRect(0, image.height() - 1, image.width(), 1));
        m_face.Draw(0, 0, painter);
        m_overlay.DrawTransparent(painter, 0, 0);
        m_vendorLogo.Draw(face::kBannerRect.left, face::kBannerRect.top, painter);
    }
    m_renderer->Paint(painter);
}

void CVanduMainWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        return;
    }
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && !m_dragging) {
        m_dragging = true;
        m_dragAnchor = point;
    }
    if (event->button() == Qt::LeftButton && Contains(face::kLcdRect, point)) {
        m_store->ClickLcd();
        m_store->Redraw();
    }
}

// The anchor stays: client coordinates move with the window.
void CVanduMainWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragging && point != m_dragAnchor) {
        move(pos() + (point - m_dragAnchor));
    }
}

void CVanduMainWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
    }
}

void CVanduMainWnd::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_D:
        OnCommand(face::ID_DELETE);
        break;
    case Qt::Key_B:
        OnCommand(face::ID_PREVIOUS);
        break;
    case Qt::Key_N:
        OnCommand(face::ID_NEXT);
        break;
    case Qt::Key_P:
        OnCommand(face::ID_PLAY);
        break;
    case Qt::Key_S:
        OnCommand(face::ID_STOP);
        break;
    case Qt::Key_F7:
        m_settings.SetSponsorID("");
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
