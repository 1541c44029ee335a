#include "agent/shell/VanduMainWnd.h"

#include "agent/audio/CodecCheck.h"
#include "agent/audio/SoundPlayerInterface.h"
#include "agent/service/ServiceConfig.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentActions.h"
#include "agent/shell/AgentTray.h"
#include "agent/shell/ConnectingDialog.h"
#include "agent/shell/DialogRunner.h"
#include "agent/shell/FaceAccessibility.h"
#include "agent/shell/FirstFrameProbe.h"
#include "agent/shell/PopupMenu.h"
#include "agent/shell/TrayState.h"
#include "agent/shell/WakeupSocket.h"
#include "agent/shell/WindowMessages.h"
#include "agent/shell/WindowPlacement.h"
#include "agent/skin/ShapeRegion.h"
#include "agent/skin/SkinButton.h"
#include "agent/skin/SkinTable.h"
#include "common/DisplayText.h"
#include "common/Names.h"
#include "common/StringTable.h"
#include "common/UserPrompts.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleHints>
#include <QToolTip>

#include <sys/stat.h>

namespace face = vandu::face;
namespace commands = vandu::commands;

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

std::vector<face::Rect> AvailableScreenAreas()
{
    std::vector<face::Rect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.push_back({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    }
    return areas;
}

QString Text(const std::string& bytes)
{
    return DisplayText(bytes);
}

} // namespace

CVanduMainWnd::CVanduMainWnd(const SMainWndSeams& seams, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_seams(seams)
    , m_settings(seams.Backend, PrimaryScreenSize)
    , m_lcdFace(seams.LcdFaceMemory)
{
    setWindowTitle(QStringLiteral("Vandu"));
    setFixedSize(kWidth, kHeight);
    // The X11 window class is how desktop tools see the agent; Qt takes it from the application
    // name at the moment the first native window is created.
    const QString applicationName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QLatin1String(vandu::names::kWindowClass));
    winId();
    QCoreApplication::setApplicationName(applicationName);
    setMask(CShapeRegion::MainWindowShape());
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Vandu"));

    m_renderer = std::make_unique<CLcdRenderer>(
        this, m_seams.Clock, [this](const QRect& area) { OnLcdRepainted(area); }, m_lcdFace.Initial());
    // A remembered file that holds no usable face any more: ask fontconfig now.
    if (m_renderer->LargeFont().IsNull()) {
        m_renderer->SetFace(m_lcdFace.Confirm());
    }
    const QString folder = m_seams.WorkDirectory + QLatin1Char('/') + QLatin1String(vandu::names::kMessageFolder);
    m_store = std::make_unique<CMessageStore>(
        *m_renderer, m_seams.Player, m_settings, m_account, m_seams.Clock, QFile::encodeName(folder).toStdString());
    SelectSkin(m_settings.GetColor());
    SetLcdColour(m_settings.GetLCDColor());
    PlaceWindow();
    SetTopMost(m_settings.GetTopMost());
    CreateButtons();
    m_accessibility = std::make_unique<CFaceAccessibility>(*this);
    m_accessibility->SetBannerName(TooltipAt(QPoint(face::kBannerRect.left, face::kBannerRect.top)));
    m_accessibility->SetLogoCornerName(TooltipAt(QPoint(face::kLogoCornerRect.left, face::kLogoCornerRect.top)));
    m_dialogs = std::make_unique<CAgentDialogs>(
        *this, m_seams.Dialogs, [this] { return Services(); },
        m_seams.WebBrowser ? m_seams.WebBrowser : [this] { return m_settings.GetWebBrowser(); });
    m_actions = new CAgentActions(*m_store, m_settings, m_seams.Prompts, m_seams.Urls, *m_dialogs, m_sponsor, this);
    connect(m_actions, &CAgentActions::RepaintNeeded, this, &CVanduMainWnd::Repaint);

    m_menu = new CPopupMenu([this] { return MenuState(); }, this);
    // Queued: a command's modal dialog runs once the menu has closed, not inside its activation.
    connect(m_menu, &CPopupMenu::CommandChosen, this, &CVanduMainWnd::OnCommand, Qt::QueuedConnection);
    m_tray = new CAgentTray(this);
    connect(m_tray, &CAgentTray::ToggleRequested, this, &CVanduMainWnd::ToggleVisibility);
    connect(m_tray, &CAgentTray::ContextMenuRequested, this, [this] { ShowPopupMenu(QCursor::pos()); });
    m_tray->Add(CTrayState::NormalIcon(false), m_menu);

    m_requests = std::make_unique<CAgentRequests>(m_settings, *m_store, m_account, m_seams.Prompts, m_seams.Clock);
    m_requests->SetFirstShowPending(true);
    ConnectRequests();
    m_overlay.LoadFromResource(face::kOverlayBitmap);
    m_vendorLogo.LoadFromResource(face::kVendorBitmap);
    m_blinkTimer.setInterval(kBlinkIntervalMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CVanduMainWnd::BlinkTick);
}

CVanduMainWnd::~CVanduMainWnd() = default;

void CVanduMainWnd::Start()
{
    if (m_started) {
        return;
    }
    m_started = true;
    HandleFirstRun();
    EnterWorkDirectory();
    m_store->Open(m_settings.GetVanduID());
    m_sponsor.Attach(*m_store);
    // The renderer makes its scroll arrows when the store sets it up in Open.
    for (CSkinButton* arrow : {m_renderer->ScrollUpButton(), m_renderer->ScrollDownButton()}) {
        if (arrow) {
            connect(arrow, &CSkinButton::Command, this, &CVanduMainWnd::OnCommand);
        }
    }
    if (m_store->UnreadCount() > 0) {
        NewMessageAlert();
    }
    UpdateTrayIcon();
    m_blinkTimer.start();
    // After the first frame, or at once for a hidden start.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible()) {
            FinishStart();
        }
    });
    m_wakeup = new CWakeupSocket(this, m_seams.WakeupPort);
    connect(m_wakeup, &CWakeupSocket::WakeupArrived, m_requests.get(), &CAgentRequests::WakeupArrived);
    m_wakeup->Listen();
    LoadVendorPicture();
    emit Started();
}

void CVanduMainWnd::HandleFirstRun()
{
    if (m_settings.IsFirstTime()) {
        m_settings.SetFirstTime(0);
        m_settings.SetInstallDir(QFile::encodeName(m_seams.ModuleDirectory).toStdString());
    }
}

void CVanduMainWnd::EnterWorkDirectory()
{
    QDir::setCurrent(m_seams.WorkDirectory);
    // Voice messages and texts are the subscriber's own: the folder is private when we make it.
    const QByteArray folder
        = QFile::encodeName(m_seams.WorkDirectory + QLatin1Char('/') + QLatin1String(vandu::names::kMessageFolder));
    ::mkdir(folder.constData(), 0700);
}

void CVanduMainWnd::PlaceWindow()
{
    const face::Point stored {m_settings.GetXPos(), m_settings.GetYPos()};
    const face::Point place = vandu::placement::ReachablePosition(stored, kWidth, kHeight, AvailableScreenAreas());
    move(place.x, place.y);
}

void CVanduMainWnd::CreateButtons()
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const face::ButtonSpec& spec = face::kFaceButtons[i];
        auto* button = new CSkinButton(this);
        button->Create(spec.normalBitmap, spec.pressedBitmap, &m_face.Image(), spec.position.x, spec.position.y, this,
            spec.command);
        const QString tip = QString::fromStdString(vandu::strings::LoadResourceString(spec.tooltipString));
        button->setToolTip(tip);
        button->setAccessibleName(tip);
        connect(button, &CSkinButton::Command, this, &CVanduMainWnd::OnCommand);
        m_buttons[i] = button;
    }
}

void CVanduMainWnd::ConnectRequests()
{
    connect(m_requests.get(), &CAgentRequests::NewMessagesArrived, this, &CVanduMainWnd::NewMessageAlert);
    connect(m_requests.get(), &CAgentRequests::TrayIconUpdateNeeded, this, &CVanduMainWnd::UpdateTrayIcon);
    connect(m_requests.get(), &CAgentRequests::VendorPictureArrived, this, &CVanduMainWnd::LoadVendorPicture);
    connect(m_requests.get(), &CAgentRequests::RepaintNeeded, this, &CVanduMainWnd::Repaint);
    connect(m_requests.get(), &CAgentRequests::SponsorArrived, this, &CVanduMainWnd::OnSponsorArrived);
}

void CVanduMainWnd::OnSponsorArrived()
{
    m_sponsor.LoadPicture();
    ShowSponsorInfo();
}

// What the first frame does without: the first scheduler tick (its jobs' threads and their
// completions would compete with the first paint), the window icon (the window manager is given all
// eight pictures, each decoded for it), the codec check (it loads the sound decoder) and asking
// fontconfig whether the LCD's remembered face is still the one to use. The tick
// still comes before the first show's wizard or settings sheet has finished, as it did before the
// window was shown: the first show runs them modally, and this runs inside.
void CVanduMainWnd::FinishStart()
{
    if (m_startFinished) {
        return;
    }
    m_startFinished = true;
    ConfirmLcdFace();
    m_requests->Begin();
    if (windowIcon().isNull()) {
        setWindowIcon(CAgentTray::IconFor(face::kProgramIcon));
    }
    CheckCodec();
}

void CVanduMainWnd::ConfirmLcdFace()
{
    const SLcdFaceFile face = m_lcdFace.Confirm();
    if (!face.path.empty() && face != m_renderer->Face()) {
        // A wake-up's job may already be drawing from its thread.
        m_store->RedrawAfter([this, &face] { m_renderer->SetFace(face); });
    }
}

void CVanduMainWnd::CheckCodec()
{
    if (m_codecChecked) {
        return;
    }
    m_codecChecked = true;
    if (CCodecCheck().StartupWarningDue(m_settings.GetAudioType())) {
        m_seams.Prompts.Warn(vandu::strings::LoadResourceString(vandu::strings::IDS_NO_GSM_CODEC));
    }
}

SAgentServices CVanduMainWnd::Services()
{
    if (!m_connecting) {
        m_connecting = new CConnectingDialog(this);
    }
    return SAgentServices {m_settings, *m_store, m_account, m_requests->UserInfoJob(), m_requests->Connection(),
        *m_connecting, m_seams.Prompts, m_seams.Files, m_seams.Urls, m_seams.Player, *this};
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
    m_store->Redraw();
    update();
}

void CVanduMainWnd::SetTopMost(bool topMost)
{
    if (topMost == bool(windowFlags() & Qt::WindowStaysOnTopHint)) {
        return;
    }
    // Changing a flag re-creates the native window and hides it; keep it where it was.
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (visible) {
        show();
    }
}

void CVanduMainWnd::ClearFirstShowPending()
{
    m_requests->SetFirstShowPending(false);
}

bool CVanduMainWnd::IsFirstShowPending() const
{
    return m_requests->IsFirstShowPending();
}

void CVanduMainWnd::RestartCycle()
{
    m_requests->Scheduler().RestartCycle();
}

void CVanduMainWnd::StartMailCount()
{
    m_requests->StartMailCount();
}

void CVanduMainWnd::Repaint()
{
    update();
}

void CVanduMainWnd::RunSignupWizard()
{
    m_dialogs->RunSignupWizard();
}

void CVanduMainWnd::OpenSettings(bool identificationOnly)
{
    m_actions->OpenSettings(identificationOnly);
}

void CVanduMainWnd::ShowSponsorInfo()
{
    m_dialogs->ShowSponsorInfo(m_sponsor);
}

void CVanduMainWnd::LoadVendorPicture()
{
    const QString file = m_seams.WorkDirectory + QStringLiteral("/msg/vendor.bmp");
    // A missing or broken download falls back to the built-in strip.
    if (!QFileInfo(file).isReadable() || !m_vendorLogo.LoadFromFile(file)) {
        m_vendorLogo.LoadFromResource(face::kVendorBitmap);
    }
    m_accessibility->SetBannerName(TooltipAt(QPoint(face::kBannerRect.left, face::kBannerRect.top)));
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
            m_seams.Player.PlayFile(wave);
        } else {
            m_seams.Player.PlayBuiltIn(171);
        }
    }
    m_store->RefreshStatus();
    m_store->Redraw();
    UpdateTrayIcon();
    if (m_settings.GetAutomaticPlay()) {
        m_store->PlayCurrentVoice();
    }
}

void CVanduMainWnd::UpdateTrayIcon()
{
    m_tray->Update(m_store->UnreadCount(), m_requests->Connection().IsOnline());
    m_store->Redraw();
}

void CVanduMainWnd::BlinkTick()
{
    m_tray->Blink(m_store->UnreadCount(), m_requests->RequestInProgress());
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

void CVanduMainWnd::ToggleVisibility()
{
    if (isVisible()) {
        HideWindow();
    } else {
        ShowAndActivate();
    }
}

void CVanduMainWnd::SaveWindowState()
{
    m_store->Save();
    m_tray->Remove();
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
    Quit();
}

// exit, not quit: quit asks every window to close first, and a dialog that may not be closed
// (the Identification-only sheet) would keep the agent running. Open dialogs end with their loops;
// nothing opens another one once the agent is quitting.
void CVanduMainWnd::Quit()
{
    m_quitting = true;
    QCoreApplication::exit(0);
}

void CVanduMainWnd::closeEvent(QCloseEvent* event)
{
    if (!m_stateSaved) {
        SaveWindowState();
    }
    event->accept();
    Quit();
}

commands::SMenuState CVanduMainWnd::MenuState()
{
    return m_actions->MenuState(isVisible());
}

void CVanduMainWnd::ShowPopupMenu(QPoint globalPosition)
{
    m_menu->popup(globalPosition);
}

void CVanduMainWnd::OnCommand(int commandId)
{
    if (m_quitting || !commands::IsEnabled(commands::RuleOf(commandId), MenuState())) {
        return;
    }
    switch (commandId) {
    case face::ID_HIDE:
    case commands::ID_HIDE_WINDOW:
        HideWindow();
        break;
    case commands::ID_SHOW:
        ShowAndActivate();
        break;
    case face::ID_MENU:
        ShowPopupMenu(pos() + QPoint(130, 30));
        break;
    case commands::ID_EXIT:
        close();
        break;
    default:
        m_actions->Run(commandId);
    }
}

QString CVanduMainWnd::TooltipAt(QPoint position)
{
    const std::string host = ServiceHostName();
    switch (commands::ZoneAt(position.x(), position.y())) {
    case commands::FaceZone::Banner:
        return Text(commands::BannerTooltip(m_store->HeaderValues().VendorDesc, host));
    case commands::FaceZone::LogoCorner:
        return Text(commands::LogoCornerTooltip(host));
    default:
        return QString();
    }
}

QString CVanduMainWnd::LcdText() const
{
    return m_accessibility->LcdText();
}

// Every LCD redraw comes through here: repaint its rectangle and keep what a screen reader is told
// in step with what is shown.
void CVanduMainWnd::OnLcdRepainted(const QRect& area)
{
    update(area);
    if (m_accessibility) {
        m_accessibility->LcdDrawn(m_renderer->Drawn());
    }
}

bool CVanduMainWnd::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TooltipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void CVanduMainWnd::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // After the window has painted: the wizard and the sheet are modal and must not run inside
    // the show itself.
    if (m_started && IsFirstShowPending() && !m_firstShowQueued) {
        m_firstShowQueued = true;
        QTimer::singleShot(0, this, &CVanduMainWnd::RunFirstShow);
    }
}

// A hidden start waits with this until the window is first shown.
void CVanduMainWnd::RunFirstShow()
{
    if (m_quitting) {
        return;
    }
    if (m_settings.GetVanduID().empty()) {
        RunSignupWizard();
    }
    if (!m_quitting && (m_settings.GetVanduID().empty() || !m_settings.IsPasswordSaved())) {
        OpenSettings(true);
    }
    ClearFirstShowPending();
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
    CFirstFrameProbe::FramePainted();
    if (m_started && !m_startFinished) {
        QMetaObject::invokeMethod(this, &CVanduMainWnd::FinishStart, Qt::QueuedConnection);
    }
}

void CVanduMainWnd::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        ShowPopupMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (!m_dragging) {
        m_dragging = true;
        m_dragAnchor = point;
    }
    if (commands::ZoneAt(point.x(), point.y()) == commands::FaceZone::Lcd && !IsSecondPressOfDoubleClick(*event)) {
        m_store->ClickLcd();
        m_store->Redraw();
        UpdateTrayIcon();
    }
}

// Qt delivers the second press of a double-click as a press too, before the double-click itself;
// it must not play the message again.
bool CVanduMainWnd::IsSecondPressOfDoubleClick(const QMouseEvent& event)
{
    const QStyleHints* hints = QGuiApplication::styleHints();
    const QPoint point = event.position().toPoint();
    const bool second = m_lastPressTime != 0
        && event.timestamp() - m_lastPressTime < ulong(hints->mouseDoubleClickInterval())
        && (point - m_lastPressPoint).manhattanLength() <= hints->mouseDoubleClickDistance();
    // A third press starts over, as a fresh click.
    m_lastPressTime = second ? 0 : event.timestamp();
    m_lastPressPoint = point;
    return second;
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

// Qt's default would treat the second click as another press, so a double-click on the LCD would
// play the message twice.
void CVanduMainWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint point = event->position().toPoint();
        m_actions->DoubleClick(commands::ZoneAt(point.x(), point.y()));
    }
}

void CVanduMainWnd::keyPressEvent(QKeyEvent* event)
{
    static constexpr std::pair<int, int> kKeyCommands[] = {{Qt::Key_Delete, face::ID_DELETE},
        {Qt::Key_D, face::ID_DELETE}, {Qt::Key_B, face::ID_PREVIOUS}, {Qt::Key_N, face::ID_NEXT},
        {Qt::Key_P, face::ID_PLAY}, {Qt::Key_S, face::ID_STOP}, {Qt::Key_F1, commands::ID_ONLINE_HELP}};
    for (const auto& [key, command] : kKeyCommands) {
        if (event->key() == key) {
            OnCommand(command);
            return;
        }
    }
    const bool menuKey
        = event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier));
    if (menuKey) {
        ShowPopupMenu(mapToGlobal(QPoint(130, 30)));
    } else if (event->key() == Qt::Key_F5) {
        m_requests->StartPoll();
        m_requests->StartSponsor();
        m_requests->StartMailCount();
    } else if (event->key() == Qt::Key_F6) {
        m_requests->StartMailCount();
    } else if (event->key() == Qt::Key_F7) {
        m_settings.SetSponsorID("");
    } else {
        QWidget::keyPressEvent(event);
    }
}
