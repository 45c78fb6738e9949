package com.mojang.minecraft.level;

import java.io.IOException;
import java.io.ObjectInputStream;
import java.io.ObjectOutputStream;
import java.io.Serializable;
import java.util.ArrayList;

// A variant of the game's level object as later versions save it: objects
// that hold objects before the cells. The block map holds a list of
// entities of two classes and the player (who is one of them: one object
// referenced twice, and a third time after the cells), the player an
// inventory array, the weather its own write method's data, and the
// difficulty is an enum.
public class Level implements Serializable {
    public static final long serialVersionUID = 0L;

    public long createTime;
    public int depth;
    public int height;
    public int width;
    public int xSpawn;
    public int ySpawn;
    public int zSpawn;
    public BlockMap blockMap;
    public byte[] blocks;
    public String name;
    public Player player;
}

class BlockMap implements Serializable {
    static final long serialVersionUID = 1L;
    int cellSize;
    Difficulty difficulty;
    ArrayList<Entity> entities;
    Player player;
    Weather weather;
    int[][] slots;
}

enum Difficulty { PEACEFUL, NORMAL, HARD }

class Entity implements Serializable {
    static final long serialVersionUID = 2L;
    float x, y, z;
    String kind;
}

class Sheep extends Entity {
    static final long serialVersionUID = 3L;
    boolean sheared;
    byte colour;
}

class Mob extends Entity {
    static final long serialVersionUID = 4L;
    int health;
    double speed;
}

class Player extends Mob {
    static final long serialVersionUID = 5L;
    String userName;
    Item[] inventory;
    long score;
}

class Item implements Serializable {
    static final long serialVersionUID = 6L;
    short id;
    int count;
}

// Writes more than its fields: a count, a note in block data and an object.
class Weather implements Serializable {
    static final long serialVersionUID = 7L;
    int rain;
    transient String forecast;
    transient Item drop;

    private void writeObject(ObjectOutputStream out) throws IOException {
        out.defaultWriteObject();
        out.writeInt(forecast.length());
        out.writeUTF(forecast);
        out.writeObject(drop);
    }

    private void readObject(ObjectInputStream in) throws IOException, ClassNotFoundException {
        in.defaultReadObject();
        int length = in.readInt();
        forecast = in.readUTF();
        if (forecast.length() != length) throw new IOException("forecast of the wrong length");
        drop = (Item) in.readObject();
    }
}
