package nl.dalmerik.vorn;

/** The values a root is initialised with. */
final class RootSettings {
    /** Where the backend may keep files of its own. */
    final String supportFolder;
    final TimestampFormat format;
    /** Quick filters on text compare with LIKE, and also on numbers. */
    final boolean quickFilterUseLike;
    final boolean quickFilterUseLikeMatchOnNumeric;
    /** Most rows a result holds; 0 for no limit. */
    final int rowLimit;

    RootSettings(String supportFolder, TimestampFormat format, boolean quickFilterUseLike,
                 boolean quickFilterUseLikeMatchOnNumeric, int rowLimit) {
        this.supportFolder = supportFolder;
        this.format = format;
        this.quickFilterUseLike = quickFilterUseLike;
        this.quickFilterUseLikeMatchOnNumeric = quickFilterUseLikeMatchOnNumeric;
        this.rowLimit = Math.max(0, rowLimit);
    }

    static RootSettings defaults() {
        TimestampFormat format = new TimestampFormat(TimestampFormat.DEFAULT_PATTERN, true);
        return new RootSettings(null, format, true, true, 2000);
    }
}
