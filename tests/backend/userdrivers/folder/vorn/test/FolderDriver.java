package vorn.test;

/** Stands for a driver jar the user put in the data folder's Drivers folder. */
public class FolderDriver {
    public static String origin() {
        return "data folder";
    }
}
