// The large-object fields of the input sheet: their Clear, Export and Import buttons follow the field's
// value through reloads, whatever the sheet's read-only setting, and typed text survives a reload.
#include "resultset/BlobButton.h"
#include "resultset/InputPanelController.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{
QList<bool> enabled(const InputPanelControllerFieldPtr &field)
{
    QList<bool> states;
    for (const QPointer<BlobButton> &button : field->custom())
        states << (button && button->isEnabled());
    return states;
}
} // namespace

TEST(BlobButtonsTest, ButtonsFollowTheValueThroughReloads)
{
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "editable");
        QWidget window;
        window.resize(800, 600);
        window.show();
        InputPanelController panel;
        panel.setReadOnly(readOnly);
        auto text = InputPanelControllerField::fieldWithName("name", InputPanelControllerField::Text, "old");
        auto blob =
            InputPanelControllerField::fieldWithName("data", InputPanelControllerField::Blob, QVariant());
        auto twin =
            InputPanelControllerField::fieldWithName("data", InputPanelControllerField::Blob, QVariant());
        QStringList pressed;
        blob->setButtonAction([&](BlobButton *button) {
            pressed << QString("%1 %2").arg(button->columnName()).arg(button->tag());
        });
        panel.addField(text);
        panel.addField(blob);
        panel.addField(twin);
        panel.runPanelOnWindow(&window);
        ASSERT_EQ(blob->custom().size(), 3);
        EXPECT_EQ(blob->custom()[0]->text(), "Clear");
        EXPECT_EQ(blob->custom()[1]->text(), "Export");
        EXPECT_EQ(blob->custom()[2]->text(), "Import");
        EXPECT_EQ(enabled(blob), (QList<bool>{false, false, true}));

        if (!readOnly)
            qobject_cast<QLineEdit *>(text->inputField())->setText("typed");
        panel.reloadWithUpdatedColumn("data", "BIN");
        EXPECT_EQ(enabled(blob), (QList<bool>{true, true, true}));
        EXPECT_EQ(enabled(twin), (QList<bool>{true, true, true}));
        panel.reloadWithUpdatedColumn("data", QVariant());
        EXPECT_EQ(enabled(blob), (QList<bool>{false, false, true}));
        panel.reloadWithUpdatedColumn("missing", "BIN");
        EXPECT_EQ(enabled(blob), (QList<bool>{false, false, true}));

        QTest::mouseClick(blob->custom()[2], Qt::LeftButton);
        EXPECT_EQ(pressed, QStringList{"data 3"});
        panel.endSheet(1);
        EXPECT_EQ(text->value().toString(), readOnly ? "old" : "typed");
        EXPECT_TRUE(blob->value().isNull());
    }
}
