import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;
import java.util.jar.JarEntry;
import java.util.jar.JarFile;

/**
 * The native bridge finds a Java method by its name and number of parameters only. Fails when a public
 * class of the backend has two public methods (inherited ones included) with one name and arity.
 * Usage: java NoOverloadCheck.java path/to/vorn-backend.jar
 */
public class NoOverloadCheck {
    public static void main(String[] args) throws Exception {
        Path jar = Path.of(args[0]);
        List<String> problems = new ArrayList<>();
        int checked = 0;
        try (JarFile file = new JarFile(jar.toFile());
             URLClassLoader loader = new URLClassLoader(new URL[] {jar.toUri().toURL()})) {
            for (JarEntry entry : Collections.list(file.entries())) {
                String name = entry.getName();
                if (!name.startsWith("nl/dalmerik/vorn/") || !name.endsWith(".class") || name.contains("$"))
                    continue;
                Class<?> type = Class.forName(name.replace('/', '.').replace(".class", ""), false, loader);
                if (!Modifier.isPublic(type.getModifiers()))
                    continue;
                checked++;
                Map<String, List<Method>> bySelector = new TreeMap<>();
                for (Method method : type.getMethods())
                    bySelector.computeIfAbsent(method.getName() + "/" + method.getParameterCount(),
                                               key -> new ArrayList<>()).add(method);
                bySelector.forEach((selector, methods) -> {
                    if (methods.size() > 1)
                        problems.add(type.getName() + " " + selector + ": " + methods);
                });
            }
        }
        if (checked == 0 || !problems.isEmpty()) {
            String report = checked == 0
                                ? "No public backend classes found in " + jar
                                : "Methods the bridge cannot tell apart:\n  " + String.join("\n  ", problems);
            System.err.println(report);
            System.exit(1);
        }
        System.out.println(checked + " public backend classes have no overloads of one name and arity");
    }
}
