#pragma once
// The About window: fixed labels and one credit line typed out letter by
// letter, cleared and typed again (tmrAuthor).

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdint>

namespace z51 {

class TfrmSelfAbout : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSelfAbout(QWidget* parent = nullptr);

    // One tick of the credit-line animation.
    void tmrAuthorTimer();

    QLabel* lblCalen1;
    QLabel* lblCopyRight;
    QLabel* lblVers;
    QTimer* tmrAuthor;

    // The credit line as the window builds it (UTF-8 at this edge).
    const QString& CreditText() const { return credit_; }
    std::uint8_t Position() const { return position_; }

private:
    QString credit_;
    std::uint8_t position_ = 0;
};

}  // namespace z51
