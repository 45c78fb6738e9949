package com.mojang.minecraft.level;

import java.io.ObjectInputStream;
import java.util.ArrayList;
import java.util.Arrays;

// Writes and reads level files whose level object holds a graph of objects
// before its cells, as the game does (through LevelTool's file helpers).
//   write OUT WIDTH HEIGHT DEPTH  the graph, and the blocks to a pattern
//   read IN X Y Z                 every field of every object, whether the
//                                 player is one object wherever it is
//                                 referenced, the cell (x, y, z) with z
//                                 vertical and the sum of all the others
public class GraphTool {
    public static void main(String[] args) throws Exception {
        int a = Integer.parseInt(args[2]), b = Integer.parseInt(args[3]), c = Integer.parseInt(args[4]);
        if (args[0].equals("write")) write(args[1], a, b, c);
        else read(args[1], a, b, c);
    }

    static Item item(int id, int count) {
        Item item = new Item();
        item.id = (short) id;
        item.count = count;
        return item;
    }

    static void write(String out, int width, int height, int depth) throws Exception {
        Player player = new Player();
        player.x = 1.5f; player.y = 40f; player.z = 2.25f; player.kind = "player";
        player.health = 20; player.speed = 0.125; player.userName = "builder"; player.score = 1L << 40;
        player.inventory = new Item[] {item(1, 64), null, item(45, 3), item(17, 1)};
        Sheep sheep = new Sheep();
        sheep.x = 10; sheep.y = 33; sheep.z = 12; sheep.kind = "sheep"; sheep.sheared = true; sheep.colour = 14;
        Mob zombie = new Mob();
        zombie.x = -3; zombie.kind = "zombie"; zombie.health = 8; zombie.speed = 0.5;
        Weather weather = new Weather();
        weather.rain = 3;
        weather.forecast = "rain over the castle".repeat(20);
        weather.drop = player.inventory[2];  // shared with the inventory
        BlockMap map = new BlockMap();
        map.cellSize = 16;
        map.difficulty = Difficulty.HARD;
        map.entities = new ArrayList<>(Arrays.asList(sheep, zombie, player, sheep));
        map.player = player;
        map.weather = weather;
        map.slots = new int[][] {{1, 2, 3}, {}, null, {7}};
        Level level = new Level();
        level.createTime = 1_700_000_000_000L;
        level.width = width;
        level.height = height;
        level.depth = depth;
        level.xSpawn = 5; level.ySpawn = 6; level.zSpawn = 7;
        level.blockMap = map;
        level.name = "A level of objects";
        level.player = player;
        level.blocks = new byte[width * height * depth];
        for (int i = 0; i < level.blocks.length; ++i) level.blocks[i] = (byte) (i % 47);
        LevelTool.writeLevelFile(out, level);
    }

    static String describe(Item item) { return item == null ? "null" : "Item(" + item.id + "," + item.count + ")"; }

    static String describe(Entity e) {
        String text = e.getClass().getSimpleName() + "(" + e.x + "," + e.y + "," + e.z + "," + e.kind;
        if (e instanceof Sheep s) text += "," + s.sheared + "," + s.colour;
        if (e instanceof Mob m) text += "," + m.health + "," + m.speed;
        if (e instanceof Player p) {
            text += "," + p.userName + "," + p.score + ",[";
            for (Item item : p.inventory) text += describe(item) + ";";
            text += "]";
        }
        return text + ")";
    }

    static void read(String in, int x, int y, int z) throws Exception {
        try (ObjectInputStream objects = LevelTool.levelFileObjects(in)) {
            Level level = (Level) objects.readObject();
            BlockMap map = level.blockMap;
            System.out.println("level " + level.createTime + " " + level.width + "x" + level.height + "x" + level.depth
                    + " spawn " + level.xSpawn + "," + level.ySpawn + "," + level.zSpawn + " name " + level.name);
            System.out.println("map " + map.cellSize + " " + map.difficulty + " slots " + Arrays.deepToString(map.slots));
            for (Entity e : map.entities) System.out.println("entity " + describe(e));
            System.out.println("player " + describe(map.player));
            System.out.println("weather " + map.weather.rain + " " + map.weather.forecast.length() + " "
                    + describe(map.weather.drop));
            System.out.println("one player: " + (map.player == level.player && map.entities.get(2) == level.player)
                    + ", one sheep: " + (map.entities.get(0) == map.entities.get(3))
                    + ", one item: " + (map.weather.drop == level.player.inventory[2]));
            System.out.println(LevelTool.cells(level, x, y, z));
            System.out.println("rest=" + objects.available());
        }
    }
}
