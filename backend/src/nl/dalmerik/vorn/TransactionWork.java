package nl.dalmerik.vorn;

/** What the server says of the open transaction: whether it holds changes to commit or roll back. */
enum TransactionWork {
    /** The transaction may hold changes. */
    CHANGES,
    /** No transaction is open, or the open one holds no change. */
    NONE,
    /** The server cannot tell (or cannot be asked now). */
    UNKNOWN
}
