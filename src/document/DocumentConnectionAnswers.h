#pragma once

#include "connection/ConnectedControllerDelegate.h"

#include <type_traits>

// A part of the document that owns connected controllers answers them as their delegate, but their
// connection questions (the root's reservation, focus, the connection's identity) are the document's:
// this passes them on. Delegate is the controllers' delegate interface; a part that answers two
// interfaces, each with its own connection questions, derives from one DocumentConnectionAnswers per
// interface. No virtual inheritance: the controllers find their own interface by a cast from the
// connection delegate they were given.
template <class Delegate> class DocumentConnectionAnswers : public Delegate
{
    static_assert(std::is_base_of_v<ConnectedControllerDelegate, Delegate>,
                  "the delegate interface asks the connection questions");

public:
    bool connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                    const QString &description) override
    {
        return document_.connectedControllerWantsRootReservationFor(controller, description);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *controller) override
    {
        document_.connectedControllerWantsEndRootReservation(controller);
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *controller, bool requiresEditing) override
    {
        return document_.connectedControllerWantsToChangeFocus(controller, requiresEditing);
    }
    bool connectedControllerWantsClearRootSelection(ConnectedController *controller) override
    {
        return document_.connectedControllerWantsClearRootSelection(controller);
    }
    ConnectionParametersPtr
    connectedControllerWantsConnectionParameters(ConnectedController *controller) override
    {
        return document_.connectedControllerWantsConnectionParameters(controller);
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller) override
    {
        return document_.connectedControllerWantsUniqueConnectionIdentifier(controller);
    }

protected:
    // The document, which outlives the parts it owns.
    explicit DocumentConnectionAnswers(ConnectedControllerDelegate &document) : document_(document) {}

private:
    ConnectedControllerDelegate &document_;
};
