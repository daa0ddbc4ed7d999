#pragma once

#include "WexoCreator/configuration/WConfiguration.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class WActivityIndicator;
}

namespace WexoCreator {

// A small busy indicator from the "WActivityIndicator" form: an image that
// turns once every four seconds, endlessly, over a title. Nothing in the
// library shows one yet; it is here for the launcher's busy state.
class WActivityIndicator : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTurnMs = 4000;
    static inline const QString rotationAnimationKey = QStringLiteral("rotationAnimation");

    explicit WActivityIndicator(QWidget *parent = nullptr);
    // At the frame; the image is neither shown nor kept (the form's image turns).
    WActivityIndicator(const QRect &frame, const QPixmap &image, QWidget *parent = nullptr);
    ~WActivityIndicator() override;

    // A spinner from the library's form.
    static WActivityIndicator *createView(QWidget *parent = nullptr);

    std::optional<QString> title;

    QLabel *bgImageView() const;
    QLabel *opaqueView() const;
    QLabel *logoView() const;
    QLabel *titleLabel() const;

    // Shows the view and turns the image; no title reads "loading...".
    void startAnimating(const std::optional<QString> &text = std::nullopt);
    // Hides the view; the image goes back to upright.
    void stopAnimating();

    // The resource bundle in force when the spinner was made.
    const QString &bundle() const { return m_bundle; }
    QVariantAnimation *rotationAnimation() const { return m_rotation; }
    qreal rotationAngle() const { return m_angle; }

private:
    void setupView();
    void rotate();
    void removeRotation();
    void paintImage();

    const QString m_bundle = WConfiguration::currentBundle();
    std::unique_ptr<Ui::WActivityIndicator> m_ui;
    QPointer<QVariantAnimation> m_rotation;
    QPixmap m_image;
    qreal m_angle = 0;
};

} // namespace WexoCreator
