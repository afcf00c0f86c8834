#pragma once

class InfoColumnButtonBar;

// Told when the user picks a section or asks for a refresh.
class InfoColumnButtonBarDelegate
{
public:
    virtual ~InfoColumnButtonBarDelegate() = default;
    virtual void infoColumnButtonBarSelectChanged(InfoColumnButtonBar *bar) = 0;
    virtual void infoColumnButtonBarRefreshRequested(InfoColumnButtonBar *bar) = 0;
};
