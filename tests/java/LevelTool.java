package com.mojang.minecraft.level;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataOutputStream;
import java.io.ObjectInputStream;
import java.io.ObjectOutputStream;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Comparator;

// Writes and reads level files of whatever Level class it is compiled with,
// as the game does: the magic number and version, then the serialized Level.
//   write OUT WIDTH HEIGHT DEPTH  every field set to a value of its own, the
//                                 blocks to a pattern
//   read IN X Y Z                 every field, the blocks' length, the cell
//                                 (x, y, z) with z vertical, and the sum of
//                                 all the other cells
public class LevelTool {
    public static void main(String[] args) throws Exception {
        if (args[0].equals("write")) {
            write(args[1], Integer.parseInt(args[2]), Integer.parseInt(args[3]), Integer.parseInt(args[4]));
        } else {
            read(args[1], Integer.parseInt(args[2]), Integer.parseInt(args[3]), Integer.parseInt(args[4]));
        }
    }

    static Field[] fields() {
        Field[] all = Arrays.stream(Level.class.getDeclaredFields())
                .filter(f -> !Modifier.isStatic(f.getModifiers())).toArray(Field[]::new);
        Arrays.sort(all, Comparator.comparing(Field::getName));
        return all;
    }

    static void write(String out, int width, int height, int depth) throws Exception {
        Level level = new Level();
        int k = 0;
        for (Field f : fields()) {
            Class<?> t = f.getType();
            k++;
            if (t == int.class) f.setInt(level, 1000 + k);
            else if (t == long.class) f.setLong(level, 1_700_000_000_000L + k);
            else if (t == short.class) f.setShort(level, (short) (300 + k));
            else if (t == byte.class) f.setByte(level, (byte) (k - 100));
            else if (t == char.class) f.setChar(level, (char) ('A' + k));
            else if (t == float.class) f.setFloat(level, 1.5f * k);
            else if (t == double.class) f.setDouble(level, -2.25 * k);
            else if (t == boolean.class) f.setBoolean(level, k % 2 == 0);
            else if (t == String.class) f.set(level, "text of " + f.getName());
            else if (t == ArrayList.class) f.set(level, new ArrayList<Object>());
            else if (t == int[].class) f.set(level, new int[] {k, k + 1, k + 2});
        }
        level.width = width;
        level.height = height;
        level.depth = depth;
        level.blocks = new byte[width * height * depth];
        for (int i = 0; i < level.blocks.length; ++i) level.blocks[i] = (byte) (i % 47);
        writeLevelFile(out, level);
    }

    // The level as the game writes it: the magic number, the version, the object.
    static void writeLevelFile(String out, Level level) throws Exception {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        DataOutputStream data = new DataOutputStream(bytes);
        data.writeInt(0x271BB788);
        data.writeByte(2);
        ObjectOutputStream objects = new ObjectOutputStream(data);
        objects.writeObject(level);
        objects.flush();
        Files.write(Paths.get(out), bytes.toByteArray());
    }

    // The objects of a level file, after its magic number and version.
    static ObjectInputStream levelFileObjects(String in) throws Exception {
        byte[] data = Files.readAllBytes(Paths.get(in));
        return new ObjectInputStream(new ByteArrayInputStream(data, 5, data.length - 5));
    }

    // The blocks' length, the cell (x, y, z) with z vertical, and the sum of all the other cells.
    static String cells(Level level, int x, int y, int z) {
        int cell = (z * level.height + y) * level.width + x;
        long sum = 0;
        for (int i = 0; i < level.blocks.length; ++i) sum += i == cell ? 0 : level.blocks[i] & 0xFF;
        return "blocks=" + level.blocks.length + " cell=" + (level.blocks[cell] & 0xFF) + " others=" + sum;
    }

    static void read(String in, int x, int y, int z) throws Exception {
        try (ObjectInputStream objects = levelFileObjects(in)) {
            Level level = (Level) objects.readObject();
            for (Field f : fields()) {
                Object value = f.get(level);
                if (f.getName().equals("blocks")) continue;
                if (value instanceof int[]) value = Arrays.toString((int[]) value);
                System.out.println(f.getName() + "=" + value);
            }
            System.out.println(cells(level, x, y, z));
            System.out.println("rest=" + objects.available());
        }
    }
}
