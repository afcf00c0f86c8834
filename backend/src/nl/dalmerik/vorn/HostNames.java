package nl.dalmerik.vorn;

/** The forms a server may take in a connection address: host names and IP address literals. */
final class HostNames {
    private HostNames() {}

    /**
     * Dot-separated labels of letters, digits, hyphens and underscores (container and Windows names use
     * them), no label starting or ending with a hyphen; a name of digits only must be an IPv4 address.
     */
    static boolean isHostName(String text) {
        if (text.isEmpty() || text.length() > 253)
            return false;
        String name = text.endsWith(".") ? text.substring(0, text.length() - 1) : text;
        boolean onlyDigits = true;
        for (String label : name.split("\\.", -1)) {
            if (label.isEmpty() || label.length() > 63 || label.startsWith("-") || label.endsWith("-"))
                return false;
            for (char c : label.toCharArray()) {
                if (!(isAsciiLetterOrDigit(c) || c == '-' || c == '_'))
                    return false;
                onlyDigits &= c >= '0' && c <= '9';
            }
        }
        return !onlyDigits;
    }

    /** Four decimal numbers of 0 to 255, without leading zeros. */
    static boolean isIPv4Address(String text) {
        String[] parts = text.split("\\.", -1);
        if (parts.length != 4)
            return false;
        for (String part : parts) {
            if (part.isEmpty() || part.length() > 3 || (part.length() > 1 && part.startsWith("0")))
                return false;
            for (char c : part.toCharArray()) {
                if (c < '0' || c > '9')
                    return false;
            }
            if (Integer.parseInt(part) > 255)
                return false;
        }
        return true;
    }

    /** Eight groups of up to four hex digits, "::" for a run of zero groups, optionally an IPv4 tail. */
    static boolean isIPv6Address(String text) {
        int gap = text.indexOf("::");
        if (gap >= 0 && text.indexOf("::", gap + 1) >= 0)
            return false;
        String head = gap >= 0 ? text.substring(0, gap) : text;
        String tail = gap >= 0 ? text.substring(gap + 2) : "";
        int headGroups = countGroups(head, gap < 0);
        int tailGroups = countGroups(tail, true);
        if (headGroups < 0 || tailGroups < 0)
            return false;
        int groups = headGroups + tailGroups;
        return gap >= 0 ? groups <= 7 : groups == 8;
    }

    /** Groups of the colon-separated part; an IPv4 tail counts two when allowed. -1 when malformed. */
    private static int countGroups(String part, boolean ipv4TailAllowed) {
        if (part.isEmpty())
            return 0;
        String[] groups = part.split(":", -1);
        int count = 0;
        for (int i = 0; i < groups.length; i++) {
            String group = groups[i];
            if (i == groups.length - 1 && ipv4TailAllowed && group.contains(".")) {
                if (!isIPv4Address(group))
                    return -1;
                count += 2;
            } else if (group.isEmpty() || group.length() > 4 || !isHex(group)) {
                return -1;
            } else {
                count++;
            }
        }
        return count;
    }

    private static boolean isHex(String text) {
        for (char c : text.toCharArray()) {
            if (!(c >= '0' && c <= '9' || c >= 'a' && c <= 'f' || c >= 'A' && c <= 'F'))
                return false;
        }
        return true;
    }

    private static boolean isAsciiLetterOrDigit(char c) {
        return c >= 'a' && c <= 'z' || c >= 'A' && c <= 'Z' || c >= '0' && c <= '9';
    }
}
