#include "installer/TermsPage.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CTermsPage::CTermsPage(QWidget* parent)
    : CInstallPage(parent)
{
    setObjectName(QStringLiteral("TermsPage"));
    auto* label = new QLabel(QStringLiteral("Please read the terms of service below. To install Vandu, tick the box "
                                            "to accept them."),
        this);
    label->setWordWrap(true);
    Content()->addWidget(label);
    auto* edit1003 = new QPlainTextEdit(this);
    edit1003->setObjectName(QStringLiteral("Terms"));
    edit1003->setReadOnly(true);
    edit1003->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The box scrolls: the page keeps the height of the side picture, like the other pages.
    edit1003->setMaximumHeight(140);
    QFile terms(QString::fromLatin1(kTermsResource));
    // A missing resource leaves the box empty.
    if (terms.open(QIODevice::ReadOnly)) {
        edit1003->setPlainText(QString::fromUtf8(terms.readAll()));
    }
    Content()->addWidget(edit1003);
    m_check1016 = new QCheckBox(QStringLiteral("Yes, I accept."), this);
    m_check1016->setObjectName(QStringLiteral("Accept"));
    Content()->addWidget(m_check1016);
    Content()->addStretch(1);
    connect(m_check1016, &QCheckBox::toggled, this, &QWizardPage::completeChanged);
}

bool CTermsPage::isComplete() const
{
    return m_check1016->isChecked();
}
