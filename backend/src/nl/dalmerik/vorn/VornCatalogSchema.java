package nl.dalmerik.vorn;

/** A schema within its catalog, as the browser lists them. */
public class VornCatalogSchema {}
