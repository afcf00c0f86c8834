package vorn.test;

/** Stands for a driver jar in a folder that VORN_DRIVERS names. */
public class EnvironmentDriver {
    public static String origin() {
        return "VORN_DRIVERS";
    }
}
