package nl.dalmerik.vorn.bridgetest;

import java.util.ArrayList;
import java.util.Collections;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;
import java.util.concurrent.Semaphore;
import java.util.concurrent.TimeUnit;

/** What the bridge tests call: every parameter and result kind, overloads, failures, collections. */
public class BridgeSubject {
    private static BridgeSubject shared;

    private final String name;
    private final int number;

    public BridgeSubject() {
        this(0, "unnamed");
    }

    public BridgeSubject(String name) {
        this(0, name);
    }

    public BridgeSubject(int number, String name) {
        this.name = name;
        this.number = number;
    }

    public BridgeSubject(boolean fail) {
        if (fail) {
            throw new IllegalStateException("constructor refused");
        }
        this.name = "not failed";
        this.number = 0;
    }

    public static synchronized BridgeSubject shared() {
        if (shared == null) {
            shared = new BridgeSubject("shared");
        }
        return shared;
    }

    public static String greeting(String who) {
        return "Hello, " + who;
    }

    public static int twice(int value) {
        return value * 2;
    }

    public static String threadName() {
        return Thread.currentThread().getName();
    }

    public static int liveThreads() {
        return Thread.getAllStackTraces().size();
    }

    public static long work(int rounds) {
        long sum = 0;
        for (int i = 0; i < rounds; i++) {
            sum += Integer.toString(i).hashCode() % 7;
        }
        return sum;
    }

    public String name() {
        return name;
    }

    public int number() {
        return number;
    }

    // Overloads of one name and arity.
    public String describe(int value) {
        return "int " + value;
    }

    public String describe(String value) {
        return "string " + value;
    }

    public String describe(Object value) {
        return "object " + (value == null ? "null" : value.getClass().getName());
    }

    public String pick(Integer value) {
        return "Integer";
    }

    public String pick(Long value) {
        return "Long";
    }

    // What arrived, for parameters of general types.
    public String classOf(Object value) {
        return value == null ? "null" : value.getClass().getName();
    }

    public String numberClassOf(Number value) {
        return value == null ? "null" : value.getClass().getName() + " " + value;
    }

    public String sequenceClassOf(CharSequence value) {
        return value == null ? "null" : value.getClass().getName();
    }

    // Primitive parameters and results.
    public boolean echoBoolean(boolean value) {
        return value;
    }

    public byte echoByte(byte value) {
        return value;
    }

    public char echoChar(char value) {
        return value;
    }

    public short echoShort(short value) {
        return value;
    }

    public int echoInt(int value) {
        return value;
    }

    public long echoLong(long value) {
        return value;
    }

    public float echoFloat(float value) {
        return value;
    }

    public double echoDouble(double value) {
        return value;
    }

    // Wrapper parameters and results.
    public Integer boxedInteger(Integer value) {
        return value;
    }

    public Long boxedLong(Long value) {
        return value;
    }

    public Short boxedShort(Short value) {
        return value;
    }

    public Byte boxedByte(Byte value) {
        return value;
    }

    public Double boxedDouble(Double value) {
        return value;
    }

    public Float boxedFloat(Float value) {
        return value;
    }

    public Boolean boxedBoolean(Boolean value) {
        return value;
    }

    public Character boxedCharacter(Character value) {
        return value;
    }

    public String echoString(String value) {
        return value;
    }

    public Object echo(Object value) {
        return value;
    }

    public int length(String value) {
        return value.length();
    }

    public int codePointCount(String value) {
        return value.codePointCount(0, value.length());
    }

    public String emptyString() {
        return "";
    }

    public Object nothing() {
        return null;
    }

    public CharSequence sequence() {
        return new StringBuilder("built");
    }

    public List<String> list() {
        return Collections.unmodifiableList(new ArrayList<>(List.of("x")));
    }

    public Runnable lambda() {
        return () -> { };
    }

    public int[] numbers() {
        return new int[] {1, 2, 3};
    }

    public String fail(String message) {
        throw new IllegalArgumentException(message);
    }

    public int failInt() {
        throw new IllegalStateException("no number");
    }

    // A failure whose description waits until a bystander thread has written its output, so that
    // the output falls inside the report of the failure. The bystander waits in awaitDescribing,
    // writes, then calls bystanderWrote.
    private static final Semaphore describingStarted = new Semaphore(0);
    private static final Semaphore bystanderDone = new Semaphore(0);

    public static class InterleavedFailure extends IllegalStateException {
        InterleavedFailure(String message) {
            super(message);
        }

        @Override
        public String toString() {
            describingStarted.release();
            try {
                bystanderDone.tryAcquire(5, TimeUnit.SECONDS);
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            }
            return super.toString();
        }
    }

    public String failWhileOthersWrite(String message) {
        throw new InterleavedFailure(message);
    }

    public static boolean awaitDescribing(int milliseconds) throws InterruptedException {
        return describingStarted.tryAcquire(milliseconds, TimeUnit.MILLISECONDS);
    }

    public static void bystanderWrote() {
        bystanderDone.release();
    }

    // Collections: ["a", null, ["b", null], {"k": [1, null], "n": 7L}, 2.5]
    public Vector<Object> nested() {
        Vector<Object> inner = new Vector<>();
        inner.add("b");
        inner.add(null);
        Vector<Object> values = new Vector<>();
        values.add(1);
        values.add(null);
        Hashtable<String, Object> table = new Hashtable<>();
        table.put("k", values);
        table.put("n", 7L);
        Vector<Object> outer = new Vector<>();
        outer.add("a");
        outer.add(null);
        outer.add(inner);
        outer.add(table);
        outer.add(2.5);
        return outer;
    }

    /** A stable text of a value: collections with their contents, other values with their class. */
    public static String render(Object value) {
        if (value == null) {
            return "null";
        }
        if (value instanceof Vector) {
            List<String> parts = new ArrayList<>();
            for (Object element : (Vector<?>) value) {
                parts.add(render(element));
            }
            return "Vector[" + String.join(",", parts) + "]";
        }
        if (value instanceof Hashtable) {
            List<String> parts = new ArrayList<>();
            Hashtable<?, ?> table = (Hashtable<?, ?>) value;
            for (Object key : table.keySet()) {
                parts.add(render(key) + "=" + render(table.get(key)));
            }
            Collections.sort(parts);
            return "Hashtable{" + String.join(",", parts) + "}";
        }
        return value.getClass().getSimpleName() + ":" + value;
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof BridgeSubject && ((BridgeSubject) other).name.equals(name);
    }

    @Override
    public int hashCode() {
        return name.hashCode();
    }

    @Override
    public String toString() {
        return "BridgeSubject " + name;
    }
}
