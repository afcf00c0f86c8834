package nl.dalmerik.vorn;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.List;

/**
 * Quick filters kept under a name, one file per connection, schema and object in the support folder's
 * "StoredFilters" folder, so every root of the same connection sees them. A file is replaced whole and
 * atomically; one that cannot be read counts as empty. Filters are found by name, never by position, so a
 * list read a moment ago cannot point at another filter.
 */
final class StoredFilters {
    private static final int VERSION = 1;
    private static final Object FILES = new Object();

    /** One stored filter: parallel conditions and the sort, as the quick filter holds them. */
    static final class Stored {
        final String name;
        final List<String> columns;
        final List<String> operators;
        final List<String> values;
        final List<VornSort> sort;

        Stored(String name, List<String> columns, List<String> operators, List<String> values, List<VornSort> sort) {
            this.name = name;
            this.columns = columns;
            this.operators = operators;
            this.values = values;
            this.sort = sort;
        }

        Stored named(String other) {
            return new Stored(other, columns, operators, values, sort);
        }
    }

    private final Path file;

    /** Null folder: the root was not given one, and nothing can be stored. */
    StoredFilters(String supportFolder, String connection, String schema, String object) {
        this.file = supportFolder == null || supportFolder.isEmpty()
                        ? null
                        : Path.of(supportFolder, "StoredFilters", digest(connection + "\n" + schema + "\n" + object)
                                                                      + ".filters");
    }

    List<Stored> all() {
        synchronized (FILES) {
            return read();
        }
    }

    List<String> names() {
        List<String> names = new ArrayList<>();
        for (Stored one : all())
            names.add(one.name);
        return names;
    }

    Stored find(String name) {
        for (Stored one : all()) {
            if (one.name.equals(name))
                return one;
        }
        return null;
    }

    /** Keeps the filter, replacing one of the same name where it stood. */
    void store(Stored filter) throws BackendException {
        requireName(filter.name);
        synchronized (FILES) {
            List<Stored> filters = read();
            int at = indexOf(filters, filter.name);
            if (at < 0)
                filters.add(filter);
            else
                filters.set(at, filter);
            write(filters);
        }
    }

    void rename(String name, String newName) throws BackendException {
        requireName(newName);
        synchronized (FILES) {
            List<Stored> filters = read();
            int at = requireIndex(filters, name);
            if (!name.equals(newName) && indexOf(filters, newName) >= 0)
                throw new BackendException("A stored filter named '" + newName + "' exists already.");
            filters.set(at, filters.get(at).named(newName));
            write(filters);
        }
    }

    void remove(String name) throws BackendException {
        synchronized (FILES) {
            List<Stored> filters = read();
            filters.remove(requireIndex(filters, name));
            write(filters);
        }
    }

    private static void requireName(String name) throws BackendException {
        if (name == null || name.isBlank())
            throw new BackendException("A stored filter needs a name.");
    }

    private static int indexOf(List<Stored> filters, String name) {
        for (int i = 0; i < filters.size(); i++) {
            if (filters.get(i).name.equals(name))
                return i;
        }
        return -1;
    }

    private static int requireIndex(List<Stored> filters, String name) throws BackendException {
        int at = indexOf(filters, name);
        if (at < 0)
            throw new BackendException("There is no stored filter named '" + name + "'.");
        return at;
    }

    private List<Stored> read() {
        List<Stored> filters = new ArrayList<>();
        if (file == null)
            return filters;
        try (DataInputStream in = new DataInputStream(new ByteArrayInputStream(Files.readAllBytes(file)))) {
            if (in.readInt() != VERSION)
                return filters;
            int count = in.readInt();
            for (int i = 0; i < count; i++) {
                String name = in.readUTF();
                int conditions = in.readInt();
                List<String> columns = new ArrayList<>();
                List<String> operators = new ArrayList<>();
                List<String> values = new ArrayList<>();
                for (int c = 0; c < conditions; c++) {
                    columns.add(in.readUTF());
                    operators.add(in.readUTF());
                    values.add(readText(in));
                }
                int sorts = in.readInt();
                List<VornSort> sort = new ArrayList<>();
                for (int s = 0; s < sorts; s++) {
                    VornSort one = new VornSort();
                    one.initSort(in.readUTF(), in.readUTF());
                    sort.add(one);
                }
                filters.add(new Stored(name, columns, operators, values, sort));
            }
            return filters;
        } catch (NoSuchFileException e) {
            return filters;
        } catch (IOException | RuntimeException e) {
            return new ArrayList<>();
        }
    }

    private void write(List<Stored> filters) throws BackendException {
        if (file == null)
            throw new BackendException("Stored filters need a support folder, and this connection has none.");
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        try (DataOutputStream out = new DataOutputStream(bytes)) {
            out.writeInt(VERSION);
            out.writeInt(filters.size());
            for (Stored one : filters) {
                out.writeUTF(one.name);
                out.writeInt(one.columns.size());
                for (int c = 0; c < one.columns.size(); c++) {
                    out.writeUTF(one.columns.get(c));
                    out.writeUTF(one.operators.get(c));
                    writeText(out, one.values.get(c));
                }
                out.writeInt(one.sort.size());
                for (VornSort sort : one.sort) {
                    out.writeUTF(sort.name());
                    out.writeUTF(sort.direction());
                }
            }
            Files.createDirectories(file.getParent());
            Path temporary = Files.createTempFile(file.getParent(), "filters", ".tmp");
            Files.write(temporary, bytes.toByteArray());
            try {
                Files.move(temporary, file, StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.ATOMIC_MOVE);
            } catch (AtomicMoveNotSupportedException e) {
                Files.move(temporary, file, StandardCopyOption.REPLACE_EXISTING);
            }
        } catch (IOException e) {
            throw new BackendException("The stored filters could not be saved: " + e.getMessage());
        }
    }

    /** Values may be long custom conditions: writeUTF stops at 64 KB. */
    private static void writeText(DataOutputStream out, String text) throws IOException {
        byte[] bytes = (text == null ? "" : text).getBytes(StandardCharsets.UTF_8);
        out.writeInt(bytes.length);
        out.write(bytes);
    }

    private static String readText(DataInputStream in) throws IOException {
        int length = in.readInt();
        if (length < 0 || length > in.available())
            throw new IOException("damaged");
        byte[] bytes = new byte[length];
        in.readFully(bytes);
        return new String(bytes, StandardCharsets.UTF_8);
    }

    private static String digest(String key) {
        try {
            byte[] hash = MessageDigest.getInstance("SHA-256").digest(key.getBytes(StandardCharsets.UTF_8));
            StringBuilder hex = new StringBuilder();
            for (byte b : hash)
                hex.append(String.format("%02x", b));
            return hex.toString();
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException(e);
        }
    }
}
