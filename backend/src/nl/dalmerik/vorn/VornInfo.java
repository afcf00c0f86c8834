package nl.dalmerik.vorn;

/** The information about one database object shown in the info column; filled in by its own loader. */
public class VornInfo {}
