#pragma once

class QWidget;

// A page of the step wizard. The page owns its view; the wizard only shows it.
class AssistantWindowSubViewController
{
public:
    virtual ~AssistantWindowSubViewController() = default;
    virtual QWidget *view() = 0;
    // Sent each time the page is shown.
    virtual void updateInterface() = 0;
};
