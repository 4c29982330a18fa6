// CorvHotLink: a text that looks like a web link (pure blue, underlined, on the button face)
// and reports a click to its owner. A click is a left press and release both inside the link:
// pressing, moving off and releasing reports nothing; moving off and back on before releasing
// reports one click. The pointer is a hand over the link and the arrow elsewhere, also while
// the button is held. The caption is what the link shows and what its owner acts on (a web or
// mail address), cut to its first 199 characters.
#pragma once

#include "corvakit/CorvakitExport.h"

#include <QAbstractButton>

namespace corvakit {

class CORVAKIT_EXPORT CorvHotLink : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kMaxCaption = 199;

    explicit CorvHotLink(const QString& caption = {}, QWidget* parent = nullptr);

    // The caption as shown and acted on.
    QString caption() const;

    // A font of the face and size in points (at the screen's resolution), normal weight or
    // bold, with italic and underline as asked.
    static QFont CreatePointFont(const QString& face, int points, bool bold, bool italic, bool underline);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace corvakit
