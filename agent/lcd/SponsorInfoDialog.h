#pragma once

// The "Vandu Information" dialog: the sponsor's picture at its natural size, clipped by its area,
// with "More Information" (opens the sponsor's address, then closes) and "Cancel". The dialog is
// sized to the picture plus a margin for the buttons.

#include <QDialog>

#include <string>

class CSkinBitmap;
class IUrlOpener;
class QLabel;
class QPushButton;

class CSponsorInfoDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Vandu Information";
    // Added to the picture's size to give the dialog's.
    static constexpr int kExtraWidth = 30;
    static constexpr int kExtraHeight = 70;
    // The picture's area: it clips a larger picture and never scales it.
    static constexpr int kPictureLeft = 11;
    static constexpr int kPictureTop = 39;
    static constexpr int kPictureAreaWidth = 269;
    static constexpr int kPictureAreaHeight = 200;

    CSponsorInfoDialog(const CSkinBitmap& picture, std::string address, IUrlOpener& urls, QWidget* parent = nullptr);

    QPushButton* MoreInformationButton() const { return m_more; }
    QPushButton* CancelButton() const { return m_cancel; }
    QLabel* PictureArea() const { return m_picture; }

private:
    void OpenMoreInformation();
    void LayOutButtons();

    std::string m_address;
    IUrlOpener& m_urls;
    QPushButton* m_more = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_picture = nullptr;
};
