#include "shell/About.h"

#include <QVBoxLayout>
#include <array>
#include <string>

#include "core/cp1251.h"

namespace z51 {
namespace {

// The credit line is kept scrambled: each character is the exclusive-or
// of the two bytes at its position (code page 1251).
constexpr std::array<std::uint8_t, 33> kCreditA = {
    0xD5, 0x72, 0x4F, 0x46, 0xB3, 0xF3, 0xCD, 0xE4, 0xDD, 0xB5, 0xFA, 0xBC, 0x6A, 0x42, 0x2E, 0xC7, 0x62,
    0x9B, 0x29, 0xC2, 0xDA, 0xD3, 0x88, 0x12, 0x66, 0x8C, 0x33, 0x82, 0x26, 0x27, 0x06, 0x02, 0x68};
constexpr std::array<std::uint8_t, 33> kCreditB = {
    0x7C, 0x52, 0x7D, 0x76, 0x82, 0xCB, 0xED, 0xAF, 0xB8, 0xC6, 0x8E, 0xCE, 0x03, 0x3A, 0x0E, 0x84, 0x10,
    0xF4, 0x5A, 0xB1, 0x99, 0xBC, 0xE5, 0x62, 0x0F, 0xE0, 0x56, 0xF0, 0x06, 0x1F, 0x36, 0x37, 0x59};

constexpr int kPauseMs = 2000;
constexpr int kLetterMs = 150;

QString BuildCredit() {
    std::string text;
    for (std::size_t i = 0; i < kCreditA.size(); ++i) text += static_cast<char>(kCreditA[i] ^ kCreditB[i]);
    return QString::fromUtf8(Cp1251ToUtf8(text));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

}  // namespace

TfrmSelfAbout::TfrmSelfAbout(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TfrmSelfAbout");
    setWindowTitle(QStringLiteral("O программе"));  // the O is Latin
    setFixedSize(485, 145);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::yellow);
    setPalette(pal);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(17);
    f.setBold(true);
    f.setItalic(true);
    setFont(f);

    lblCalen1 = MakeLabel(this, "lblCalen1", QStringLiteral("Kestrix — переработка программы ORVEST"), Qt::white);
    lblCopyRight = MakeLabel(this, "lblCopyRight", QString(), Qt::red);
    // Regular, not the window's bold italic: a font set on a label takes
    // every attribute it does not set itself from the window.
    QFont credit(QStringLiteral("Liberation Serif"));
    credit.setStyleHint(QFont::Serif);
    credit.setPixelSize(19);
    credit.setBold(false);
    credit.setItalic(false);
    lblCopyRight->setFont(credit);
    lblCopyRight->hide();
    lblVers = MakeLabel(this, "lblVers", QStringLiteral("Версия 1.5 от 9 декабря 2018 г."), Qt::blue);

    auto* box = new QVBoxLayout(this);
    box->addWidget(lblCalen1);
    box->addWidget(lblCopyRight);
    box->addWidget(lblVers);

    // FormCreate
    credit_ = BuildCredit();
    tmrAuthor = new QTimer(this);
    tmrAuthor->setObjectName("tmrAuthor");
    tmrAuthor->setInterval(kPauseMs);
    connect(tmrAuthor, &QTimer::timeout, this, &TfrmSelfAbout::tmrAuthorTimer);
    tmrAuthor->start();
}

void TfrmSelfAbout::tmrAuthorTimer() {
    if (position_ < credit_.size()) {
        lblCopyRight->setText(lblCopyRight->text() + credit_.at(position_));
        ++position_;
        lblCopyRight->show();
        tmrAuthor->setInterval(kLetterMs);
        return;
    }
    // The full line stays one letter tick longer, then a pause tick clears it.
    if (tmrAuthor->interval() == kPauseMs) {
        lblCopyRight->clear();
        lblCopyRight->hide();
        position_ = 0;
    }
    tmrAuthor->setInterval(kPauseMs);
}

}  // namespace z51
