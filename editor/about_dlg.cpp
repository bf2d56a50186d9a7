// The about box.
#include "editor/about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "editor/toolbar_icons.h"
#include "platform/ui/link_static.h"

namespace {

const char kMailAddress[] = "tabulon@morvane.org";
const char kWebAddress[] = "https://morvane.org/tabulon";

}  // namespace

CAboutDlg::CAboutDlg(QWidget* pParent) : platform::CDialog(pParent) {
    setWindowTitle(QStringLiteral("About"));
    setObjectName(QStringLiteral("AboutDlg"));
    auto* pLayout = new QGridLayout(this);
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(TabulonIcon().pixmap(48, 48));
    pLayout->addWidget(pIcon, 0, 0, 4, 1, Qt::AlignTop);
    pLayout->addWidget(new QLabel(QStringLiteral("Tabulon ver 1.0b"), this), 0, 1);
    pLayout->addWidget(new QLabel(QStringLiteral("Morvane, 2026"), this), 1, 1);
    auto* pMail = new platform::CLinkStatic(QString::fromLatin1(kMailAddress), this);
    pMail->SetURL(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress));
    SetControlId(pMail, IDC_ABOUT_MAIL);
    pLayout->addWidget(pMail, 2, 1);
    auto* pWeb = new platform::CLinkStatic(QString::fromLatin1(kWebAddress), this);
    pWeb->SetURL(QString::fromLatin1(kWebAddress));
    SetControlId(pWeb, IDC_ABOUT_WEB);
    pLayout->addWidget(pWeb, 3, 1);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    SetControlId(pButtons->button(QDialogButtonBox::Ok), platform::IDOK);
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    pLayout->addWidget(pButtons, 4, 0, 1, 2);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
}
